#include "platform/win1251.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace platform {

QByteArray toWin1251(const QString& text)
{
    QStringEncoder encoder("windows-1251");
    return encoder.encode(text);
}

QString fromWin1251(const QByteArray& bytes)
{
    QStringDecoder decoder("windows-1251");
    return decoder.decode(bytes);
}

} // namespace platform
