#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "collect/login.h"
#include "collect/page_fetcher.h"
#include "collect/page_lines.h"
#include "tests/platform/firefox_store.h"
#include "tools/agency-sim/server.h"

using collect::AgencySite;
using collect::PageFetcher;
using collect::StartPageSign;

namespace {

// A program directory with its Temp and PREVIEW folders, and the simulated agency on loopback.
class PageFetcherTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QDir(appDir.path()).mkdir(QStringLiteral("Temp"));
        QDir(appDir.path()).mkdir(QStringLiteral("PREVIEW"));
    }

    void startAgency(agencysim::Faults faults = {})
    {
        agencysim::PortfolioOptions portfolio;
        portfolio.pictures = 60;
        agency = std::make_unique<agencysim::AgencyServer>(portfolio, std::move(faults));
        agency->start();
        agency->writeCookieFile(QFile::encodeName(cookieJar()).toStdString());
    }

    QString cookieJar() const { return appDir.filePath(QStringLiteral("cookies.txt")); }

    PageFetcher fetcher(bool loggedIn = true) const
    {
        platform::DownloadOptions options;
        options.cookieFile = loggedIn ? cookieJar() : QString();
        return PageFetcher(appDir.path(), AgencySite(QByteArray::fromStdString(agency->baseUrl()), {}, {}), options);
    }

    // The opening check's view of the start page in the scratch file.
    StartPageSign startPageSign(const PageFetcher& pages) const
    {
        pages.fetchPage(pages.site().startPage());
        return collect::startPageSign(collect::pageText(collect::readRawLines(pages.scratchFile())));
    }

    QByteArray pictureId() const { return QByteArray::number(agency->portfolio().picture(0).id); }
    QByteArray thumbnail() const
    {
        return QByteArray::fromStdString(agency->baseUrl()) + "/thumbs/" + pictureId() + ".jpg";
    }

    static QByteArray readFile(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static void writeFile(const QString& path, const QByteArray& bytes)
    {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QTemporaryDir appDir;
    std::unique_ptr<agencysim::AgencyServer> agency;
};

// Points HOME, where the Firefox profiles are looked for, at another folder while it lives.
class HomeFolder
{
public:
    explicit HomeFolder(const QString& path) : saved_(qgetenv("HOME")) { qputenv("HOME", QFile::encodeName(path)); }
    ~HomeFolder() { qputenv("HOME", saved_); }

private:
    QByteArray saved_;
};

} // namespace

TEST_F(PageFetcherTest, LoginShowsOnTheStartPage)
{
    startAgency();
    EXPECT_EQ(startPageSign(fetcher(true)), StartPageSign::LoggedIn);
    EXPECT_EQ(startPageSign(fetcher(false)), StartPageSign::LoginRequired);
}

TEST_F(PageFetcherTest, ExpiredLoginShowsAsALoginPage)
{
    agencysim::Faults faults;
    faults.expireAfter = 1;
    startAgency(faults);
    const PageFetcher pages = fetcher();
    EXPECT_EQ(startPageSign(pages), StartPageSign::LoggedIn);
    pages.fetchPage(pages.site().approvedBatches());
    EXPECT_TRUE(collect::isLoginPage(collect::pageText(collect::readRawLines(pages.scratchFile()))));
}

TEST_F(PageFetcherTest, PageThatDoesNotArriveLeavesNoScratchFile)
{
    agencysim::Faults faults;
    faults.failPaths = {"stats_date.mhtml"};
    faults.dropPaths = {"year_month"};
    startAgency(faults);
    const PageFetcher pages = fetcher();
    for (const QByteArray& address : {pages.site().dayStats("2008-05-21"), pages.site().monthStats("2008-05")}) {
        ASSERT_TRUE(pages.fetchPage(pages.site().startPage()).ok);
        const auto result = pages.fetchPage(address);
        EXPECT_FALSE(result.ok) << address.constData();
        EXPECT_FALSE(QFile::exists(pages.scratchFile())) << address.constData();
    }
}

TEST_F(PageFetcherTest, PreviewIsFetchedOnceIntoPreview)
{
    startAgency();
    const PageFetcher pages = fetcher();
    const QString preview = appDir.filePath(QStringLiteral("PREVIEW/")) + QString::fromLatin1(pictureId()) +
                            QStringLiteral(".jpg");
    ASSERT_TRUE(pages.fetchPreview(pictureId(), thumbnail()).ok);
    EXPECT_TRUE(readFile(preview).startsWith("\xFF\xD8")); // a JPEG

    writeFile(preview, "kept");
    EXPECT_TRUE(pages.fetchPreview(pictureId(), thumbnail()).ok);
    EXPECT_EQ(readFile(preview), "kept");
}

TEST_F(PageFetcherTest, PreviewThatDoesNotArriveLeavesNoFile)
{
    startAgency();
    const QByteArray missing = QByteArray::fromStdString(agency->baseUrl()) + "/thumbs/1.jpg";
    EXPECT_FALSE(fetcher().fetchPreview("1", missing).ok);
    EXPECT_FALSE(QFile::exists(appDir.filePath(QStringLiteral("PREVIEW/1.jpg"))));
}

TEST_F(PageFetcherTest, PictureIdThatIsNoNumberNeverBecomesAFileName)
{
    startAgency();
    for (const QByteArray& id : {QByteArray("../x"), QByteArray("12/../../x"), QByteArray(""), QByteArray("1 ")})
        EXPECT_ANY_THROW(fetcher().fetchPreview(id, thumbnail())) << id.constData();
    EXPECT_TRUE(QDir(appDir.filePath(QStringLiteral("PREVIEW"))).isEmpty());
    EXPECT_FALSE(QFile::exists(appDir.filePath(QStringLiteral("x.jpg"))));
}

TEST_F(PageFetcherTest, CreateTakesTheLoginFromFirefox)
{
    startAgency();
    writeFile(appDir.filePath(QStringLiteral("conf.ini")),
              "[Agency]\nContributorSite=" + QByteArray::fromStdString(agency->baseUrl()) + "\n");
    QTemporaryDir home;
    const QString root = home.filePath(QStringLiteral("snap/firefox/common/.mozilla/firefox"));
    writeFile(root + QStringLiteral("/profiles.ini"),
              "[Install4F96D1932A9F858E]\nDefault=Profiles/x.default-release\n");
    test::FirefoxStore firefox(root + QStringLiteral("/Profiles/x.default-release/cookies.sqlite"));
    firefox.add("127.0.0.1", agencysim::AgencyServer::SessionCookieName, agency->sessionId().c_str(),
                4102444800000);

    const HomeFolder homeFolder(home.path());
    EXPECT_EQ(startPageSign(PageFetcher::create(appDir.path())), StartPageSign::LoggedIn);
}
