#include <gtest/gtest.h>

#include <functional>

#include <QFile>
#include <QTemporaryDir>

#include "collect/agency_site.h"

using collect::AgencySite;

namespace {

const AgencySite Site("http://127.0.0.1:8080/", "http://127.0.0.1:8081", {});

std::string errorOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "no error";
}

void writeConf(const QString& appDir, const QByteArray& text)
{
    QFile file(appDir + QStringLiteral("/conf.ini"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

} // namespace

TEST(AgencySite, BuildsTheAddressesFromTheConfiguredHosts)
{
    const struct
    {
        QByteArray address, expected;
    } cases[] = {
        {Site.startPage(), "http://127.0.0.1:8080/main.mhtml"},
        {Site.statsPage(), "http://127.0.0.1:8080/stats.mhtml"},
        {Site.monthStats("2008-05"), "http://127.0.0.1:8080/stats.mhtml?year_month=2008-05"},
        {Site.dayStats("2008-05-21"), "http://127.0.0.1:8080/stats_date.mhtml?date=2008-05-21"},
        {Site.approvedBatches(), "http://127.0.0.1:8080/review.mhtml?approved=1&type=photos"},
        {Site.batchPage("55", 2), "http://127.0.0.1:8080/review_batch.mhtml?id=55&approved=1&type=photos&pg=2"},
        {Site.batchInBrowser("55"), "http://127.0.0.1:8080/review_batch.mhtml?id=55&approved=1&type=photos"},
        {Site.editPicture("1234567"), "http://127.0.0.1:8080/edit.mhtml?id=1234567&type=photos"},
        {Site.deletePicture("1234567"), "http://127.0.0.1:8080/delete.mhtml?id=1234567&type=photos"},
        {Site.picturePage("1234567"), "http://127.0.0.1:8081/pic.mhtml?id=1234567"},
        {Site.contributorHost(), "127.0.0.1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.address, c.expected);
}

TEST(AgencySite, IdsInAddressesMustBeWholeDecimalNumbers)
{
    EXPECT_ANY_THROW(Site.batchPage("55&approved=0", 1));
    EXPECT_ANY_THROW(Site.picturePage("../x"));
    EXPECT_ANY_THROW(Site.editPicture(""));
}

TEST(AgencySite, MissingOrBadAddressSaysWhereToSetIt)
{
    const AgencySite unset({}, {}, {});
    const std::string contributor = errorOf([&] { unset.startPage(); });
    EXPECT_NE(contributor.find("conf.ini"), std::string::npos) << contributor;
    EXPECT_NE(contributor.find("[Agency]"), std::string::npos) << contributor;
    EXPECT_NE(contributor.find("ContributorSite"), std::string::npos) << contributor;
    const std::string publicSite = errorOf([&] { unset.picturePage("1"); });
    EXPECT_NE(publicSite.find("PublicSite"), std::string::npos) << publicSite;

    const AgencySite local("file:///etc", "127.0.0.1:8081", {});
    EXPECT_NE(errorOf([&] { local.statsPage(); }).find("ContributorSite"), std::string::npos);
    EXPECT_NE(errorOf([&] { local.picturePage("1"); }).find("PublicSite"), std::string::npos);
}

TEST(AgencySite, ReadsSectionAgencyOfConfIni)
{
    QTemporaryDir appDir;
    writeConf(appDir.path(), "[MainForm]\nLine0=x\n[Agency]\nContributorSite=http://127.0.0.1:9000\n"
                             "PublicSite=http://127.0.0.1:9001\nCookieFile=login/cookies.txt\n");
    const AgencySite site = AgencySite::load(appDir.path());
    EXPECT_EQ(site.statsPage(), "http://127.0.0.1:9000/stats.mhtml");
    EXPECT_EQ(site.picturePage("7"), "http://127.0.0.1:9001/pic.mhtml?id=7");
    EXPECT_EQ(site.cookieFile(), appDir.filePath(QStringLiteral("login/cookies.txt")));

    writeConf(appDir.path(), "[Agency]\nCookieFile=/var/lib/cookies.txt\n");
    EXPECT_EQ(AgencySite::load(appDir.path()).cookieFile(), QStringLiteral("/var/lib/cookies.txt"));
}

TEST(AgencySite, NoConfIniLeavesEverythingUnset)
{
    QTemporaryDir appDir;
    const AgencySite site = AgencySite::load(appDir.path());
    EXPECT_TRUE(site.cookieFile().isEmpty());
    EXPECT_ANY_THROW(site.startPage());
}
