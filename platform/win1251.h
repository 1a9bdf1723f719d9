#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// Page and database texts are Windows-1251 bytes; they become QString only at the screen.
QByteArray toWin1251(const QString& text);
QString fromWin1251(const QByteArray& bytes);

} // namespace platform
