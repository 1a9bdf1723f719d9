#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "platform/cookies.h"

namespace platform {

// A user's folders in which Firefox keeps its profiles.
struct UserFolders
{
    QString home;
    QString configHome; // the XDG configuration folder

    // The running user's: the home folder, and $XDG_CONFIG_HOME when it is an absolute path, else
    // ~/.config.
    static UserFolders current();
};

// The folders that may hold Firefox's profiles.ini: the XDG one of newer Firefox versions, the
// usual one and those of the snap and flatpak packages.
QStringList firefoxProfileRoots(const UserFolders& folders);

// The cookies.sqlite of the profile that Firefox starts with (its install's default, else the
// profile marked Default=1, else the first one); among several Firefox installations the one written
// last. Empty when no profile with cookies is found.
QString findFirefoxCookieStore(const UserFolders& folders);

// All cookies of a cookies.sqlite, read from a private copy made together with its -wal file, so
// a running Firefox is neither disturbed nor able to hide its latest cookies in the log. Expiry in
// milliseconds (newer Firefox) becomes seconds. Throws std::runtime_error, with a message in Russian
// like the rest of the interface, when it cannot be read.
QList<Cookie> readFirefoxCookies(const QString& cookieStore);

} // namespace platform
