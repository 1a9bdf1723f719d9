#pragma once

#include <QString>

#include "platform/firefox_cookies.h"

namespace collect {

class AgencySite;

// The cookie jar that the downloads send the login from: the configured cookie file, or else the
// contributor site's cookies of the user's Firefox profile (under the user's folders), written afresh
// to appDir/Temp/cookies.txt so that a login made since the last run is seen. Throws
// std::runtime_error with a clear message in Russian that names the key CookieFile when the
// configured file is missing or is no readable regular file, or when no Firefox profile with cookies
// is found.
QString prepareCookieJar(const AgencySite& site, const QString& appDir, const platform::UserFolders& folders);

} // namespace collect
