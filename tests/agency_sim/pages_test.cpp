#include "tests/agency_sim/page_reading.h"
#include "tests/agency_sim/sim_fixture.h"

#include <jpeglib.h>

#include <cstdio>
#include <stdexcept>

using namespace agencysim;
using namespace pagereading;
using namespace std::chrono;

namespace {

std::string money(int cents)
{
    char text[32];
    std::snprintf(text, sizeof text, "%d.%02d", cents / 100, cents % 100);
    return text;
}

std::string usDateText(Day day)
{
    char text[32];
    std::snprintf(text, sizeof text, "%02u/%02u/%04d", static_cast<unsigned>(day.month()),
                  static_cast<unsigned>(day.day()), static_cast<int>(day.year()));
    return text;
}

struct DayEntryRead
{
    std::string id, title, thumbnail, count, earnings;
    int kind = 0;
    bool operator==(const DayEntryRead&) const = default;
};

void PrintTo(const DayEntryRead& e, std::ostream* out)
{
    *out << "{" << e.id << " kind " << e.kind << " " << e.count << "/" << e.earnings << " " << e.title << "}";
}

struct BatchEntryRead
{
    std::string id, title, thumbnail, keywords;
    bool operator==(const BatchEntryRead&) const = default;
};

void PrintTo(const BatchEntryRead& e, std::ostream* out)
{
    *out << "{" << e.id << " " << e.title << "}";
}

// A day page read by its markers and line distances: the sale kind switches at the section headings and
// the reading stops at the backup CD line.
std::vector<DayEntryRead> readDayPage(const std::string& bytes)
{
    const std::vector<std::string> lines = logicalLines(rawLines(bytes));
    std::vector<DayEntryRead> entries;
    int kind = 0;
    for (std::size_t l = 0; l < lines.size(); ++l) {
        if (containsNoCase(lines[l], "thumb_image_container") && l + 7 < lines.size()) {
            const std::string link = extractBetween(lines[l + 1], "href=\"", "\"");
            entries.push_back(
                {extractBetween(link, "id=", ""), extractBetween(lines[l + 2], "alt=\"stock photo :", "\""),
                 extractBetween(lines[l + 2], "src=\"", "\""), extractBetween(lines[l + 6], ">", "<"),
                 extractBetween(lines[l + 7], ">$", "<"), kind});
        }
        if (kind == 0 && containsNoCase(lines[l], "on demand downloads"))
            kind = 1;
        else if (kind == 1 && containsNoCase(lines[l], "enhanced downloads"))
            kind = 2;
        if (containsNoCase(lines[l], "images printed on a backup cd"))
            break;
    }
    return entries;
}

std::vector<BatchEntryRead> readBatchPage(const std::string& bytes)
{
    const std::vector<std::string> lines = logicalLines(rawLines(bytes));
    std::vector<BatchEntryRead> entries;
    for (std::size_t l = 6; l + 4 < lines.size(); ++l)
        if (containsNoCase(lines[l], "thumb_image_container")) {
            const std::string idLines = lines[l - 6] + lines[l - 5] + lines[l - 4] + lines[l - 3];
            entries.push_back({extractBetween(idLines, "target=onsite>", "</a>"),
                               extractBetween(lines[l + 1], "alt=\"stock photo :", "\""),
                               extractBetween(lines[l + 1], "src=\"", "\""),
                               extractBetween(lines[l + 4], "10px\">", "<")});
        }
    return entries;
}

std::string batchAddress(const Batch& batch, int page)
{
    return "/review_batch.mhtml?id=" + std::to_string(batch.id) +
           "&approved=1&type=photos&pg=" + std::to_string(page);
}

int countLinesWith(const std::vector<std::string>& lines, std::string_view marker)
{
    return static_cast<int>(std::count_if(lines.begin(), lines.end(),
                                          [&](const std::string& l) { return containsNoCase(l, marker); }));
}

// Width and height of a JPEG, decoded by libjpeg in full; throws when the bytes are no JPEG.
std::pair<int, int> decodedSize(const std::string& bytes)
{
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    errors.error_exit = [](j_common_ptr) { throw std::runtime_error("not a JPEG"); };
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    jpeg_read_header(&info, TRUE);
    jpeg_start_decompress(&info);
    std::vector<unsigned char> row(info.output_width * static_cast<unsigned>(info.output_components));
    while (info.output_scanline < info.output_height) {
        JSAMPROW rows[] = {row.data()};
        jpeg_read_scanlines(&info, rows, 1);
    }
    const std::pair<int, int> size{static_cast<int>(info.output_width), static_cast<int>(info.output_height)};
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return size;
}

} // namespace

class PagesTest : public SimulatorTest
{
protected:
    // A day whose page has all three kinds of sale and backup CD entries.
    static Day dayWithEverySection()
    {
        for (sys_days d = sys_days(firstDay(options().from)); d <= sys_days(lastDay(options().till));
             d += days(1)) {
            const std::vector<SaleEntry> entries = portfolio().dayEntries(Day(d));
            const auto has = [&](SaleKind kind) {
                return std::any_of(entries.begin(), entries.end(),
                                   [&](const SaleEntry& e) { return e.kind == kind; });
            };
            if (has(SaleKind::OnDemand) && has(SaleKind::Enhanced) &&
                !portfolio().backupCdEntries(Day(d)).empty())
                return Day(d);
        }
        throw std::logic_error("the test portfolio has no day with every section");
    }
};

TEST_F(PagesTest, WithoutTheSessionEveryContributorPageIsTheLoginPage)
{
    const std::string batch = std::to_string(portfolio().batches().front().id);
    for (const std::string& target :
         std::vector<std::string>{"/main.mhtml", "/stats.mhtml", "/stats.mhtml?year_month=2008-05",
                                  "/stats_date.mhtml?date=2008-05-07", "/review.mhtml?approved=1&type=photos",
                                  "/review_batch.mhtml?id=" + batch + "&approved=1&type=photos&pg=1"}) {
        const std::string body = page(target, false);
        EXPECT_NE(body.find("login.mhtml"), std::string::npos) << target;
        EXPECT_EQ(body.find("stats.mhtml"), std::string::npos) << target;
    }
}

TEST_F(PagesTest, TheSessionsStartPageLinksTheStatisticsAndAWrongCookieDoesNot)
{
    const std::string start = page("/main.mhtml");
    EXPECT_NE(start.find("stats.mhtml"), std::string::npos);
    EXPECT_EQ(start.find("login.mhtml"), std::string::npos);

    httplib::Client client("127.0.0.1", server().port());
    auto wrong = client.Get("/main.mhtml", {{"Cookie", "other=1; sid=0" + server().sessionId()}});
    ASSERT_TRUE(wrong);
    EXPECT_NE(wrong->body.find("login.mhtml"), std::string::npos);
}

// Every day of the month has its link, and the next raw line holds its downloads between <td> and </td>.
TEST_F(PagesTest, MonthPageGivesEveryDaysDownloadsOnTheLineAfterItsLink)
{
    const Month month = options().from; // begins with days before the first sale
    const std::vector<std::string> raw = rawLines(page("/stats.mhtml?year_month=" + isoMonth(month)));
    std::vector<std::pair<std::string, std::string>> read;
    for (std::size_t i = 0; i + 1 < raw.size(); ++i) {
        const auto at = raw[i].find("stats_date.mhtml?date=");
        if (at == std::string::npos)
            continue;
        const std::string& next = raw[i + 1];
        const auto open = next.find("<td>"), close = next.find("</td>");
        ASSERT_TRUE(open != std::string::npos && close != std::string::npos) << next;
        read.emplace_back(raw[i].substr(at + 22, 10), next.substr(open + 4, close - open - 4));
    }
    std::vector<std::pair<std::string, std::string>> expected;
    int daysWithout = 0;
    for (sys_days d = sys_days(firstDay(month)); d <= sys_days(lastDay(month)); d += days(1)) {
        const int downloads = portfolio().totals(Day(d)).downloads;
        daysWithout += downloads == 0;
        expected.emplace_back(isoDate(Day(d)), std::to_string(downloads));
    }
    EXPECT_EQ(read, expected);
    EXPECT_GT(daysWithout, 0);
    EXPECT_LT(daysWithout, static_cast<int>(expected.size()));

    const std::string latest = page("/stats.mhtml");
    EXPECT_NE(latest.find("stats_date.mhtml?date=" + isoDate(lastDay(options().till))), std::string::npos);
}

TEST_F(PagesTest, DayPageEntriesStandAtTheirLineDistancesInKindOrder)
{
    const Day day = dayWithEverySection();
    const std::string bytes = page("/stats_date.mhtml?date=" + isoDate(day));
    std::vector<DayEntryRead> expected;
    for (const SaleEntry& e : portfolio().dayEntries(day))
        expected.push_back({std::to_string(e.pictureId), portfolio().pictureById(e.pictureId)->title,
                            server().thumbnailUrl(e.pictureId), std::to_string(e.count), money(e.cents),
                            static_cast<int>(e.kind)});
    EXPECT_EQ(readDayPage(bytes), expected);

    // The backup CD pictures stand on the page in the same shape, after the line that ends the reading.
    const std::vector<std::string> raw = rawLines(bytes);
    EXPECT_EQ(countLinesWith(raw, "thumb_image_container"),
              static_cast<int>(expected.size() + portfolio().backupCdEntries(day).size()));
    // Tags begin raw lines and texts continue on the following ones: only joined lines give the values.
    EXPECT_TRUE(
        std::any_of(raw.begin(), raw.end(), [](const std::string& l) { return !l.empty() && l[0] != '<'; }));
    EXPECT_NE(bytes.find("\r\n"), std::string::npos);
}

TEST_F(PagesTest, DayPageWithoutSalesStillHasItsHeadingsAndBackupLine)
{
    const std::string bytes = page("/stats_date.mhtml?date=2006-06-15");
    EXPECT_TRUE(readDayPage(bytes).empty());
    const std::vector<std::string> lines = logicalLines(rawLines(bytes));
    for (const char* heading : {"on demand downloads", "enhanced downloads", "images printed on a backup cd"})
        EXPECT_EQ(countLinesWith(lines, heading), 1) << heading;
}

TEST_F(PagesTest, ApprovedBatchesPageGivesTotalAndEachBatchAtItsLineDistances)
{
    const std::vector<std::string> raw = rawLines(page("/review.mhtml?approved=1&type=photos"));
    std::string text;
    for (const std::string& line : raw)
        text += line + "\r\n";
    EXPECT_EQ(extractBetween(text, "View All", "Approved"), std::to_string(portfolio().pictureCount()));

    std::vector<std::vector<std::string>> read;
    for (std::size_t b = 0; b < raw.size(); ++b)
        if (containsNoCase(raw[b], "review_batch.mhtml?id")) {
            ASSERT_LT(b + 4, raw.size());
            read.push_back({extractBetween(raw[b], "photos\">", "<"),
                            extractBetween(raw[b + 3], "center>", "<"),
                            extractBetween(raw[b + 4], "center>", "<")});
        }
    std::vector<std::vector<std::string>> expected;
    const std::vector<Batch>& batches = portfolio().batches();
    for (auto batch = batches.rbegin(); batch != batches.rend(); ++batch)
        expected.push_back(
            {std::to_string(batch->id), usDateText(batch->date), std::to_string(batch->approved)});
    EXPECT_EQ(read, expected);
}

TEST_F(PagesTest, BatchPagesHoldTwentyPicturesEachWithIdTitleThumbnailAndKeywords)
{
    bool sawSeveralPages = false;
    for (const Batch& batch : portfolio().batches()) {
        const int pages = (batch.approved + 19) / 20;
        sawSeveralPages = sawSeveralPages || pages > 1;
        std::vector<BatchEntryRead> read;
        for (int pg = 1; pg <= pages + 1; ++pg) {
            const std::vector<BatchEntryRead> entries = readBatchPage(page(batchAddress(batch, pg)));
            const int wanted = pg < pages ? 20 : pg == pages ? batch.approved - 20 * (pages - 1) : 0;
            EXPECT_EQ(static_cast<int>(entries.size()), wanted) << "batch " << batch.id << " page " << pg;
            read.insert(read.end(), entries.begin(), entries.end());
        }
        std::vector<BatchEntryRead> expected;
        for (const Picture& p : portfolio().batchPictures(batch)) {
            EXPECT_EQ(p.batchId, batch.id);
            EXPECT_EQ(p.accepted, batch.date);
            expected.push_back({std::to_string(p.id), p.title, server().thumbnailUrl(p.id), p.keywords});
        }
        EXPECT_EQ(read, expected) << "batch " << batch.id;
    }
    EXPECT_TRUE(sawSeveralPages);
}

TEST_F(PagesTest, ThumbnailAddressesOfThePagesServeSmallDeterministicJpegs)
{
    const std::vector<BatchEntryRead> entries =
        readBatchPage(page(batchAddress(portfolio().batches().front(), 1)));
    ASSERT_GE(entries.size(), 2u);
    std::vector<std::string> images;
    for (const BatchEntryRead& entry : entries) {
        ASSERT_EQ(entry.thumbnail.rfind(server().baseUrl(), 0), 0u) << entry.thumbnail;
        const std::string path = entry.thumbnail.substr(server().baseUrl().size());
        const std::string image = page(path, false);
        EXPECT_EQ(page(path, false), image);
        const auto [width, height] = decodedSize(image);
        EXPECT_EQ(std::max(width, height), 100);
        EXPECT_EQ(std::min(width, height), 67);
        images.push_back(image);
    }
    EXPECT_NE(images[0], images[1]);

    httplib::Client client("127.0.0.1", server().port());
    for (const char* missing : {"/thumbs/1.jpg", "/thumbs/x.jpg", "/thumbs/.jpg"}) {
        auto result = client.Get(missing);
        ASSERT_TRUE(result);
        EXPECT_EQ(result->status, 404) << missing;
    }
}
