#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "platform/cookies.h"

namespace platform {

// The folders that hold Firefox's profiles.ini under a home folder: the usual one and those of the
// snap and flatpak packages.
QStringList firefoxProfileRoots(const QString& home);

// The cookies.sqlite of the profile that Firefox starts with (its install's default, else the
// profile marked Default=1, else the first one); among several Firefox installations the one used
// last. Empty when no profile with cookies is found.
QString findFirefoxCookieStore(const QString& home);

// All cookies of a cookies.sqlite, read from a private copy made together with its -wal file, so
// a running Firefox is neither disturbed nor able to hide its latest cookies in the log. Expiry in
// milliseconds (newer Firefox) becomes seconds. Throws std::runtime_error when it cannot be read.
QList<Cookie> readFirefoxCookies(const QString& cookieStore);

} // namespace platform
