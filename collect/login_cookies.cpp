#include "collect/login_cookies.h"

#include <stdexcept>

#include <QFile>
#include <QFileInfo>

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

[[noreturn]] void failCookieFile(const char* what, const QString& path)
{
    throw std::runtime_error(what + path.toStdString() + " (conf.ini, раздел [Agency], ключ CookieFile)");
}

// libcurl skips a jar it cannot read and the agency then asks for the login, so what cannot serve as
// a jar is reported here. Only a regular file is opened: opening a FIFO would wait for a writer.
void requireReadableRegularFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        failCookieFile("Не найден файл cookies ", path);
    if (!info.isFile())
        failCookieFile("Файл cookies не является обычным файлом: ", path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        failCookieFile("Нет доступа на чтение к файлу cookies ", path);
}

} // namespace

QString prepareCookieJar(const AgencySite& site, const QString& appDir, const platform::UserFolders& folders)
{
    if (!site.cookieFile().isEmpty()) {
        requireReadableRegularFile(site.cookieFile());
        return site.cookieFile();
    }
    const QString store = platform::findFirefoxCookieStore(folders);
    if (store.isEmpty())
        throw std::runtime_error("Не найден профиль Firefox с cookies: войдите на сайт фотобанка в Firefox "
                                 "или укажите файл cookies в conf.ini, раздел [Agency], ключ CookieFile");
    const QString jar = appDir + QStringLiteral("/Temp/cookies.txt");
    platform::writeNetscapeCookieJar(jar, cookiesOfHost(platform::readFirefoxCookies(store), site.contributorHost()));
    return jar;
}

} // namespace collect
