#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

#include "collect/agency_site.h"
#include "collect/login_cookies.h"
#include "tests/platform/firefox_store.h"

using collect::AgencySite;
using collect::prepareCookieJar;

namespace {

class LoginCookiesTest : public ::testing::Test
{
protected:
    void SetUp() override { QDir(appDir.path()).mkdir(QStringLiteral("Temp")); }

    static QByteArray readFile(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    platform::UserFolders folders() const { return {home.path(), home.filePath(QStringLiteral(".config"))}; }

    QTemporaryDir appDir;
    QTemporaryDir home;
};

} // namespace

TEST_F(LoginCookiesTest, ConfiguredCookieFileIsUsedAsItIs)
{
    const QString jar = appDir.filePath(QStringLiteral("cookies.txt"));
    QFile file(jar);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_EQ(prepareCookieJar(AgencySite("http://127.0.0.1:8080", {}, jar), appDir.path(), folders()), jar);
}

TEST_F(LoginCookiesTest, ConfiguredCookieFileThatIsNoReadableRegularFileIsAnErrorNamingTheKey)
{
    const QString unreadable = appDir.filePath(QStringLiteral("unreadable.txt"));
    QFile(unreadable).open(QIODevice::WriteOnly);
    QFile::setPermissions(unreadable, QFileDevice::WriteOwner);
    const QString fifo = appDir.filePath(QStringLiteral("fifo"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const struct
    {
        const char* name;
        QString path;
    } cases[] = {
        {"missing", appDir.filePath(QStringLiteral("cookies.txt"))},
        {"a folder", appDir.filePath(QStringLiteral("Temp"))},
        {"a FIFO, which would block the open", fifo},
        {"a device", QStringLiteral("/dev/null")},
        {"without read permission", unreadable},
    };
    for (const auto& c : cases) {
        if (c.path == unreadable && geteuid() == 0)
            continue; // the superuser reads whatever the permissions say
        try {
            prepareCookieJar(AgencySite("http://127.0.0.1:8080", {}, c.path), appDir.path(), folders());
            ADD_FAILURE() << c.name << " was taken as the cookie file";
        } catch (const std::runtime_error& e) {
            const QString message = QString::fromUtf8(e.what());
            EXPECT_TRUE(message.contains(c.path) && message.contains(QStringLiteral("ключ CookieFile")))
                << c.name << ": " << e.what();
        }
    }
}

TEST_F(LoginCookiesTest, FirefoxCookiesOfTheContributorHostGoToTheTempJar)
{
    const QString root = home.filePath(QStringLiteral(".mozilla/firefox"));
    QDir().mkpath(root);
    QFile profiles(root + QStringLiteral("/profiles.ini"));
    ASSERT_TRUE(profiles.open(QIODevice::WriteOnly));
    profiles.write("[Profile0]\nName=default\nIsRelative=1\nPath=p.default\nDefault=1\n");
    profiles.close();
    test::FirefoxStore firefox(root + QStringLiteral("/p.default/cookies.sqlite"));
    firefox.add("127.0.0.1", "sid", "s3cret", 1900000000000);
    firefox.add(".bank.example", "account", "private", 1900000000);

    const QString jar =
        prepareCookieJar(AgencySite("http://127.0.0.1:8080", {}, {}), appDir.path(), folders());
    EXPECT_EQ(jar, appDir.filePath(QStringLiteral("Temp/cookies.txt")));
    EXPECT_EQ(readFile(jar), "# Netscape HTTP Cookie File\n127.0.0.1\tFALSE\t/\tFALSE\t1900000000\tsid\ts3cret\n");
}

TEST_F(LoginCookiesTest, NoFirefoxProfileSaysWhatToDo)
{
    try {
        prepareCookieJar(AgencySite("http://127.0.0.1:8080", {}, {}), appDir.path(), folders());
        FAIL() << "no error without a Firefox profile";
    } catch (const std::runtime_error& e) {
        EXPECT_TRUE(QString::fromUtf8(e.what()).startsWith(QStringLiteral("Не найден профиль Firefox")))
            << e.what();
        EXPECT_NE(std::string(e.what()).find("CookieFile"), std::string::npos) << e.what();
    }
}
