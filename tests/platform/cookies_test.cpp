#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "platform/cookies.h"
#include "platform/firefox_cookies.h"
#include "tests/platform/firefox_store.h"

using platform::Cookie;

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray profilesIni(const QByteArray& installDefault)
{
    QByteArray text;
    if (!installDefault.isEmpty())
        text += "[Install4F96D1932A9F858E]\nDefault=" + installDefault + "\nLocked=1\n\n";
    return text + "[Profile1]\nName=old\nIsRelative=1\nPath=Profiles/old.default\nDefault=1\n\n"
                  "[Profile0]\nName=default-release\nIsRelative=1\nPath=Profiles/new.default-release\n\n"
                  "[General]\nStartWithLastProfile=1\nVersion=2\n";
}

// A home folder whose XDG configuration folder is the default one.
platform::UserFolders foldersOf(const QTemporaryDir& home)
{
    return {home.path(), home.filePath(QStringLiteral(".config"))};
}

} // namespace

TEST(FirefoxCookies, ReadsRowsStillInTheWriteAheadLogFromACopy)
{
    QTemporaryDir dir;
    const QString store = dir.filePath(QStringLiteral("profile/cookies.sqlite"));
    test::FirefoxStore firefox(store);
    firefox.add(".agency.example", "session", "abc", 1900000000, true, true);
    firefox.add("agency.example", "user", "me", 1900000000123); // milliseconds
    const QByteArray storeBefore = readFile(store);

    const QList<Cookie> cookies = platform::readFirefoxCookies(store);
    ASSERT_EQ(cookies.size(), 2);
    EXPECT_EQ(cookies[0].host, ".agency.example");
    EXPECT_EQ(cookies[0].name, "session");
    EXPECT_EQ(cookies[0].value, "abc");
    EXPECT_EQ(cookies[0].path, "/");
    EXPECT_EQ(cookies[0].expiry, 1900000000);
    EXPECT_TRUE(cookies[0].secure);
    EXPECT_TRUE(cookies[0].httpOnly);
    EXPECT_EQ(cookies[1].expiry, 1900000000);
    EXPECT_FALSE(cookies[1].secure);
    EXPECT_FALSE(cookies[1].httpOnly);
    EXPECT_EQ(readFile(store), storeBefore); // the store itself is left alone
}

TEST(FirefoxCookies, StoreThatIsNoDatabaseIsAnError)
{
    QTemporaryDir dir;
    const QString store = dir.filePath(QStringLiteral("cookies.sqlite"));
    writeFile(store, "not a database");
    for (const QString& path : {store, dir.filePath(QStringLiteral("missing.sqlite"))}) {
        try {
            platform::readFirefoxCookies(path);
            ADD_FAILURE() << "read " << path.toStdString();
        } catch (const std::runtime_error& e) {
            const QString message = QString::fromUtf8(e.what());
            EXPECT_TRUE(message.startsWith(QStringLiteral("Не удалось")) && message.contains(path))
                << e.what();
        }
    }
}

TEST(FirefoxCookies, FindsTheProfileFirefoxStartsWith)
{
    const struct
    {
        const char* name;
        QByteArray profiles;
        const char* expected;
    } cases[] = {
        {"install default wins", profilesIni("Profiles/new.default-release"), "Profiles/new.default-release"},
        {"then the profile marked Default=1", profilesIni({}), "Profiles/old.default"},
        {"then the first profile", "[Profile0]\nIsRelative=1\nPath=Profiles/new.default-release\n",
         "Profiles/new.default-release"},
        {"after a byte order mark", "\xEF\xBB\xBF" + profilesIni("Profiles/new.default-release"),
         "Profiles/new.default-release"},
    };
    for (const auto& c : cases) {
        QTemporaryDir home;
        const QString root = home.filePath(QStringLiteral(".mozilla/firefox"));
        writeFile(root + QStringLiteral("/profiles.ini"), c.profiles);
        writeFile(root + QStringLiteral("/Profiles/old.default/cookies.sqlite"), "");
        writeFile(root + QStringLiteral("/Profiles/new.default-release/cookies.sqlite"), "");
        EXPECT_EQ(platform::findFirefoxCookieStore(foldersOf(home)),
                  root + QLatin1Char('/') + QLatin1String(c.expected) + QStringLiteral("/cookies.sqlite"))
            << c.name;
    }
}

TEST(FirefoxCookies, FindsAProfileOutsideTheRoot)
{
    QTemporaryDir home;
    QTemporaryDir elsewhere;
    writeFile(home.filePath(QStringLiteral(".mozilla/firefox/profiles.ini")),
              "[Profile0]\nIsRelative=0\nPath=" + QFile::encodeName(elsewhere.path()) + "\nDefault=1\n");
    writeFile(elsewhere.filePath(QStringLiteral("cookies.sqlite")), "");
    EXPECT_EQ(platform::findFirefoxCookieStore(foldersOf(home)),
              elsewhere.filePath(QStringLiteral("cookies.sqlite")));
}

TEST(FirefoxCookies, FindsEveryProfileFolderAndPrefersTheStoreWrittenLast)
{
    QTemporaryDir home;
    QTemporaryDir xdgConfig;
    const platform::UserFolders folders{home.path(), xdgConfig.path()};
    EXPECT_EQ(platform::findFirefoxCookieStore(folders), QString());

    const QString roots[] = {xdgConfig.filePath(QStringLiteral("mozilla/firefox")),
                             home.filePath(QStringLiteral(".mozilla/firefox")),
                             home.filePath(QStringLiteral("snap/firefox/common/.mozilla/firefox")),
                             home.filePath(QStringLiteral(".var/app/org.mozilla.firefox/.mozilla/firefox"))};
    const auto storeIn = [](const QString& root) -> QString {
        return root + QStringLiteral("/Profiles/p.default-release/cookies.sqlite");
    };
    const auto setWritten = [](const QString& path, const QDateTime& time) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        file.setFileTime(time, QFileDevice::FileModificationTime);
    };
    const QDateTime longAgo = QDateTime::currentDateTime().addDays(-10);
    int days = 0;
    for (const QString& root : roots) {
        writeFile(root + QStringLiteral("/profiles.ini"), profilesIni("Profiles/p.default-release"));
        writeFile(storeIn(root), "");
        writeFile(storeIn(root) + QStringLiteral("-wal"), "");
        setWritten(storeIn(root), longAgo);
        setWritten(storeIn(root) + QStringLiteral("-wal"), longAgo.addDays(++days));
        EXPECT_EQ(platform::findFirefoxCookieStore(folders), storeIn(root)) << root.toStdString();
    }
    setWritten(storeIn(roots[0]) + QStringLiteral("-wal"), longAgo.addDays(++days));
    EXPECT_EQ(platform::findFirefoxCookieStore(folders), storeIn(roots[0]));
}

TEST(CookieJar, WritesANetscapeJarForTheOwnerOnly)
{
    QTemporaryDir dir;
    const QString jar = dir.filePath(QStringLiteral("cookies.txt"));
    platform::writeNetscapeCookieJar(
        jar, {{".agency.example", "/", "session", "abc", 1900000000, true, true},
              {"agency.example", "", "user", "me", 0, false, false},
              {"agency.example", "/", "evil", "x\n127.0.0.1\tFALSE\t/\tFALSE\t0\tinjected\t1", 0, false, false}});
    EXPECT_EQ(readFile(jar), "# Netscape HTTP Cookie File\n"
                             "#HttpOnly_.agency.example\tTRUE\t/\tTRUE\t1900000000\tsession\tabc\n"
                             "agency.example\tFALSE\t/\tFALSE\t0\tuser\tme\n");
    EXPECT_EQ(QFile::permissions(jar) & (QFileDevice::ReadGroup | QFileDevice::ReadOther), 0);
}

TEST(CookieJar, HostMatching)
{
    const struct
    {
        QByteArray cookieHost, host;
        bool matches;
    } cases[] = {
        {"agency.example", "agency.example", true},   {".agency.example", "agency.example", true},
        {".agency.example", "c.agency.example", true}, {"agency.example", "c.agency.example", false},
        {".agency.example", "badagency.example", false}, {"AGENCY.example", "agency.EXAMPLE", true},
        {"127.0.0.1", "127.0.0.1", true},             {"other.example", "agency.example", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::cookieHostMatches(c.cookieHost, c.host), c.matches)
            << c.cookieHost.constData() << " / " << c.host.constData();
}
