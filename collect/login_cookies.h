#pragma once

#include <QString>

namespace collect {

class AgencySite;

// The cookie jar that the downloads send the login from: the configured cookie file, or else the
// contributor site's cookies of the user's Firefox profile (under home), written afresh to
// appDir/Temp/cookies.txt so that a login made since the last run is seen. Throws
// std::runtime_error with a clear message when the configured file is missing or no Firefox
// profile with cookies is found.
QString prepareCookieJar(const AgencySite& site, const QString& appDir, const QString& home);

} // namespace collect
