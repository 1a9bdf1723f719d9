#include <gtest/gtest.h>

#include <memory>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <httplib.h>

#include "platform/downloader.h"
#include "tools/agency-sim/server.h"

using namespace std::chrono_literals;
using platform::DownloadOptions;
using platform::Downloader;

namespace {

// Downloads from the simulated agency on loopback into a target that holds an old page.
class DownloaderTest : public ::testing::Test
{
protected:
    void SetUp() override { writeFile(target(), "old page"); }

    void startAgency(agencysim::Faults faults = {})
    {
        agencysim::PortfolioOptions portfolio;
        portfolio.pictures = 40;
        agency = std::make_unique<agencysim::AgencyServer>(portfolio, std::move(faults));
        agency->start();
    }

    QByteArray address(const char* pathAndQuery) const
    {
        return QByteArray::fromStdString(agency->baseUrl()) + pathAndQuery;
    }

    QByteArray thumbnail() const
    {
        return address("/thumbs/") + QByteArray::number(agency->portfolio().picture(0).id) + ".jpg";
    }

    QString target() const { return dir.filePath(QStringLiteral("temp.html")); }

    QString cookieJar() const
    {
        const QString jar = dir.filePath(QStringLiteral("cookies.txt"));
        agency->writeCookieFile(QFile::encodeName(jar).toStdString());
        return jar;
    }

    static void writeFile(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    static QByteArray readFile(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<absent>");
    }

    QStringList leftovers() const { return QDir(dir.path()).entryList(QDir::Files); }

    QTemporaryDir dir;
    std::unique_ptr<agencysim::AgencyServer> agency;
};

} // namespace

TEST_F(DownloaderTest, SuccessfulAnswerReplacesTheTarget)
{
    startAgency();
    const auto result = Downloader({}).download(thumbnail(), target());
    EXPECT_TRUE(result.ok) << result.error;
    EXPECT_TRUE(readFile(target()).startsWith("\xFF\xD8")); // the JPEG thumbnail
    EXPECT_EQ(leftovers(), QStringList{QStringLiteral("temp.html")});
}

TEST_F(DownloaderTest, CookiesOfTheJarAreSentAndRedirectsFollowed)
{
    startAgency();
    DownloadOptions withLogin;
    withLogin.cookieFile = cookieJar();
    // "/" redirects to the start page, which shows the login page without the session cookie.
    ASSERT_TRUE(Downloader(withLogin).download(address("/"), target()).ok);
    EXPECT_TRUE(readFile(target()).contains("stats.mhtml"));
    EXPECT_FALSE(readFile(target()).contains("login.mhtml"));

    ASSERT_TRUE(Downloader({}).download(address("/"), target()).ok);
    EXPECT_TRUE(readFile(target()).contains("login.mhtml"));
    EXPECT_EQ(readFile(withLogin.cookieFile).count('\n'), 3); // the jar is read, never written
}

TEST_F(DownloaderTest, FailuresLeaveTheTargetAsItWas)
{
    agencysim::Faults faults;
    faults.dropPaths = {"/dropped"};
    faults.slowPaths = {"/slow"};
    faults.slowMs = 20000;
    startAgency(faults);
    DownloadOptions quick;
    quick.totalTimeout = 300ms;
    const QByteArray deadAddress = []() -> QByteArray {
        httplib::Server closed;
        const int port = closed.bind_to_any_port("127.0.0.1");
        closed.stop();
        return "http://127.0.0.1:" + QByteArray::number(port) + "/main.mhtml";
    }();

    const struct
    {
        const char* name;
        QByteArray address;
    } cases[] = {
        {"404", address("/thumbs/1.jpg")},
        {"connection closed halfway", address("/main.mhtml?/dropped")},
        {"dead port", deadAddress},
        {"total timeout", address("/main.mhtml?/slow")},
        {"not a web address", "file:///etc/hostname"},
    };
    for (const auto& c : cases) {
        const auto result = Downloader(quick).download(c.address, target());
        EXPECT_FALSE(result.ok) << c.name;
        EXPECT_FALSE(result.error.empty()) << c.name;
        EXPECT_EQ(readFile(target()), "old page") << c.name;
        EXPECT_EQ(leftovers(), QStringList{QStringLiteral("temp.html")}) << c.name;
    }
}

TEST_F(DownloaderTest, FailureLeavesAnAbsentTargetAbsent)
{
    startAgency();
    QFile::remove(target());
    EXPECT_FALSE(Downloader({}).download(address("/thumbs/1.jpg"), target()).ok);
    EXPECT_FALSE(QFile::exists(target()));
}
