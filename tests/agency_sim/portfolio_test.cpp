#include "tests/agency_sim/page_reading.h"
#include "tools/agency-sim/portfolio.h"
#include "tools/agency-sim/server.h"

#include <httplib.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <numeric>

using namespace agencysim;
using namespace std::chrono;

namespace {

PortfolioOptions options(std::uint64_t seed, int pictures)
{
    PortfolioOptions options;
    options.seed = seed;
    options.pictures = pictures;
    options.from = year(2006) / January;
    options.till = year(2006) / December;
    return options;
}

std::string get(const AgencyServer& server, const std::string& target)
{
    httplib::Client client("127.0.0.1", server.port());
    auto result = client.Get(target.c_str(), {{"Cookie", server.cookieHeader()}});
    return result ? result->body : "(no answer)";
}

// The page with the server's own address taken out, so that servers on different ports compare equal.
std::string portless(std::string page, const AgencyServer& server)
{
    const std::string base = server.baseUrl();
    for (auto at = page.find(base); at != std::string::npos; at = page.find(base, at))
        page.replace(at, base.size(), "BASE");
    return page;
}

} // namespace

TEST(PortfolioTest, TheSeedAloneDecidesEveryPage)
{
    AgencyServer first(options(5, 300)), second(options(5, 300)), other(options(6, 300));
    first.start();
    second.start();
    other.start();
    const std::string batch = std::to_string(first.portfolio().batches().back().id);
    for (const std::string& target :
         std::vector<std::string>{"/review.mhtml?approved=1&type=photos", "/stats.mhtml?year_month=2006-10",
                                  "/stats_date.mhtml?date=2006-10-17",
                                  "/review_batch.mhtml?id=" + batch + "&approved=1&type=photos&pg=1"}) {
        EXPECT_EQ(portless(get(first, target), first), portless(get(second, target), second)) << target;
        EXPECT_NE(portless(get(first, target), first), portless(get(other, target), other)) << target;
    }
    EXPECT_EQ(first.sessionId(), second.sessionId());
}

// Titles and keywords are realistic and hostile, yet never break the page shapes: no raw quote or angle
// bracket, no marker of the page readers, nothing to trim, and room in the database's columns.
TEST(PortfolioTest, TitlesAndKeywordsAreHostileButKeepThePageShapes)
{
    const Portfolio portfolio(options(3, 2000));
    std::map<std::string, int> seen;
    for (int i = 0; i < portfolio.pictureCount(); ++i) {
        const Picture picture = portfolio.picture(i);
        for (const std::string& text : {picture.title, picture.keywords}) {
            ASSERT_FALSE(text.empty());
            EXPECT_EQ(text.find_first_of("\"<>\r\n\t"), std::string::npos) << text;
            EXPECT_NE(text.front(), ' ');
            EXPECT_NE(text.back(), ' ');
            EXPECT_EQ(text.find("  "), std::string::npos) << text;
            for (const char* marker : {"thumb_image_container", "on demand downloads", "enhanced downloads",
                                       "images printed on a backup cd", "login.mhtml", "stats.mhtml",
                                       "review_batch.mhtml?id", "view all"})
                EXPECT_FALSE(pagereading::containsNoCase(text, marker)) << text;
        }
        EXPECT_LE(picture.title.size(), 480u);
        EXPECT_LE(picture.keywords.size(), 1000u);
        const std::string& t = picture.title;
        seen["cyrillic"] +=
            std::any_of(t.begin(), t.end(), [](char c) { return static_cast<unsigned char>(c) >= 0xC0; });
        seen["apostrophe"] += t.find('\'') != std::string::npos;
        seen["quote"] += t.find("&quot;") != std::string::npos;
        seen["ampersand"] += t.find("&amp;") != std::string::npos;
        seen["long"] += t.size() > 300;
    }
    for (const auto& [kind, count] : seen)
        EXPECT_GT(count, 10) << kind;
    EXPECT_EQ(seen.size(), 5u);
}

// A few best sellers earn most; most pictures sell on few days.
TEST(PortfolioTest, SalesAreSkewedTowardsFewBestSellers)
{
    const Portfolio portfolio(options(8, 1000));
    std::map<std::int64_t, int> downloads, daysSold;
    for (sys_days d = sys_days(year(2006) / January / 1); d <= sys_days(year(2006) / December / 31);
         d += days(1))
        for (const DaySale& sale : portfolio.expectedSales(Day(d))) {
            downloads[sale.pictureId] += sale.count;
            ++daysSold[sale.pictureId];
        }
    std::vector<int> perPicture;
    for (const auto& [id, count] : downloads)
        perPicture.push_back(count);
    std::sort(perPicture.rbegin(), perPicture.rend());
    const int total = std::accumulate(perPicture.begin(), perPicture.end(), 0);
    const int topTwentieth = std::accumulate(perPicture.begin(), perPicture.begin() + 50, 0);
    EXPECT_GT(topTwentieth * 100 / total, 40);
    const auto rarelySold =
        std::count_if(daysSold.begin(), daysSold.end(), [](const auto& entry) { return entry.second < 30; });
    EXPECT_GT(rarelySold * 2, portfolio.pictureCount());
}
