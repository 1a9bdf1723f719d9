#include "platform/win1251.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace platform {

// The converters are made once per thread: making one looks its code up by name, which costs more
// than converting a title.
QByteArray toWin1251(const QString& text)
{
    thread_local QStringEncoder encoder("windows-1251");
    encoder.resetState();
    return encoder.encode(text);
}

QString fromWin1251(const QByteArray& bytes)
{
    thread_local QStringDecoder decoder("windows-1251");
    decoder.resetState();
    return decoder.decode(bytes);
}

} // namespace platform
