#include "collect/login_cookies.h"

#include <stdexcept>

#include <QFile>

#include "collect/agency_site.h"
#include "platform/cookies.h"
#include "platform/firefox_cookies.h"

namespace collect {
namespace {

QList<platform::Cookie> cookiesOfHost(const QList<platform::Cookie>& cookies, const QByteArray& host)
{
    QList<platform::Cookie> matching;
    for (const platform::Cookie& cookie : cookies)
        if (platform::cookieHostMatches(cookie.host, host))
            matching.append(cookie);
    return matching;
}

} // namespace

QString prepareCookieJar(const AgencySite& site, const QString& appDir, const QString& home)
{
    if (!site.cookieFile().isEmpty()) {
        if (!QFile::exists(site.cookieFile()))
            throw std::runtime_error("Не найден файл cookies " + site.cookieFile().toStdString() +
                                     " (conf.ini, раздел [Agency], ключ CookieFile)");
        return site.cookieFile();
    }
    const QString store = platform::findFirefoxCookieStore(home);
    if (store.isEmpty())
        throw std::runtime_error("Не найден профиль Firefox с cookies: войдите на сайт фотобанка в Firefox "
                                 "или укажите файл cookies в conf.ini, раздел [Agency], ключ CookieFile");
    const QString jar = appDir + QStringLiteral("/Temp/cookies.txt");
    platform::writeNetscapeCookieJar(jar, cookiesOfHost(platform::readFirefoxCookies(store), site.contributorHost()));
    return jar;
}

} // namespace collect
