#pragma once

#include <QString>

namespace app {

// The text the error box shows for an error message: the message, with "." appended when its last
// character sorts after ".".
QString errorBoxText(const QString& message);

// The application's title, taken from the program file's name: the name up to its first ".", its
// first letter in upper case and every letter after it in lower case ("photoledger" gives
// "Photoledger").
QString applicationTitle(const QString& programFilePath);

// The application's error box: the message as errorBoxText words it, the application's title as
// caption (the application name, see Application), the error icon and an "OK" button.
void showErrorBox(const QString& message);

} // namespace app
