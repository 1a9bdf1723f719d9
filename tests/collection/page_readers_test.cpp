#include <gtest/gtest.h>

#include <QDate>

#include "collect/batch_pages.h"
#include "collect/choice_lists.h"
#include "collect/day_page.h"
#include "collect/page_lines.h"

using collect::SaleKind;

namespace {

// A day page entry as logical lines: marker line L, link on L+1, image on L+2, count on L+6 and
// earnings on L+7.
QList<QByteArray> dayEntryLines(const QByteArray& marker = "<div class=\"thumb_image_container\">")
{
    return {marker,
            "<a href=\"pic.mhtml?id=4315912\" target=\"_blank\">",
            "<img src=\"http://127.0.0.1:8080/thumbs/4315912.jpg\" alt=\"stock photo : Old harbor at night \" border=\"0\">",
            "</a>",
            "</div>",
            "<td align=\"center\">",
            "<td align=\"center\"> 3</td>",
            "<td align=\"right\">$0.75</td>"};
}

// A batch page entry as logical lines: the id on L-6 .. L-3, the image on L+1, the keywords on L+4.
QList<QByteArray> batchEntryLines()
{
    return {"<tr>",
            "<td valign=\"top\" class=\"id\">",
            "<a href=\"pic.mhtml?id=4315912\" target=onsite> 4315912",
            "</a>",
            "</td>",
            "<td valign=\"top\">",
            "<div class=\"THUMB_IMAGE_CONTAINER\">",
            "<img src=\"http://127.0.0.1:8080/thumbs/4315912.jpg\" alt=\"stock photo : Harbor&#39;s lights\" border=\"0\">",
            "</div>",
            "</td>",
            "<td valign=\"top\" style=\"font-size:10px\"> harbor, night, boats</td>"};
}

QStringList rows(std::initializer_list<const char*> texts)
{
    QStringList list;
    for (const char* text : texts)
        list.append(QString::fromLatin1(text));
    return list;
}

} // namespace

TEST(DayPage, ReadsAnEntryAtItsLineDistances)
{
    const collect::DayEntry entry = collect::readDayEntry(dayEntryLines(), 0);
    EXPECT_EQ(entry.pictureId, "4315912");
    EXPECT_EQ(entry.title, "Old harbor at night");
    EXPECT_EQ(entry.previewAddress, "http://127.0.0.1:8080/thumbs/4315912.jpg");
    EXPECT_EQ(entry.count, "3");
    EXPECT_EQ(entry.earnings, "0.75");
}

TEST(DayPage, AnEntryTooCloseToThePageEndIsAPageError)
{
    QList<QByteArray> lines = dayEntryLines();
    lines.removeLast();
    EXPECT_THROW(collect::readDayEntry(lines, 0), collect::PageError);
}

TEST(DayPage, MissingMarkersGiveEmptyValues)
{
    const QList<QByteArray> lines(8, "<td>");
    const collect::DayEntry entry = collect::readDayEntry(lines, 0);
    EXPECT_TRUE(entry.pictureId.isEmpty());
    EXPECT_TRUE(entry.title.isEmpty());
    EXPECT_TRUE(entry.count.isEmpty());
}

TEST(DayPage, SaleKindAdvancesOneStepAtItsHeadingsOnly)
{
    const struct
    {
        SaleKind before;
        QByteArray line;
        SaleKind after;
    } cases[] = {
        {SaleKind::Regular, "<td class=\"section\">On Demand Downloads</td>", SaleKind::OnDemand},
        {SaleKind::Regular, "<td>ON DEMAND DOWNLOADS", SaleKind::OnDemand},
        {SaleKind::Regular, "<td>Enhanced Downloads</td>", SaleKind::Regular},
        {SaleKind::OnDemand, "<td>enhanced downloads</td>", SaleKind::Enhanced},
        {SaleKind::OnDemand, "<td>On Demand Downloads</td>", SaleKind::OnDemand},
        {SaleKind::Enhanced, "<td>On Demand Downloads</td>", SaleKind::Enhanced},
        {SaleKind::Regular, "<td>Subscription Downloads</td>", SaleKind::Regular},
    };
    for (const auto& c : cases)
        EXPECT_EQ(collect::saleKindAfter(c.before, c.line), c.after) << c.line.constData();
}

TEST(DayPage, EntryAndSectionMarkersIgnoreCase)
{
    EXPECT_TRUE(collect::opensPictureEntry("<div class=\"Thumb_Image_Container\">"));
    EXPECT_FALSE(collect::opensPictureEntry("<div class=\"thumb image container\">"));
    EXPECT_TRUE(collect::endsDaySales("<p>Images printed on a backup CD:3</p>"));
    EXPECT_FALSE(collect::endsDaySales("<p>Images printed on a CD</p>"));
}

TEST(BatchPages, ReadsABatchLineAndItsDateAndCount)
{
    const QList<QByteArray> raw = {"<td><a href=\"review_batch.mhtml?id=811&approved=1&type=photos\">811</a></td>",
                                   "<td align=center>Photos</td>", "<td align=center>25</td>",
                                   "<td align=center>05/21/2008</td>", "<td align=center>21</td>"};
    ASSERT_TRUE(collect::isBatchLine(raw[0]));
    EXPECT_TRUE(collect::isBatchLine("<a href=\"REVIEW_BATCH.MHTML?ID=1\">"));
    const collect::BatchLine batch = collect::readBatchLine(raw, 0);
    EXPECT_EQ(batch.batchId, "811");
    EXPECT_EQ(batch.date, "05/21/2008");
    EXPECT_EQ(batch.approvedCount, "21");
    EXPECT_THROW(collect::readBatchLine(raw.first(4), 0), collect::PageError);
}

TEST(BatchPages, BatchDateGivesTheMonthAndTheAcceptanceDate)
{
    const collect::BatchDate date = collect::splitBatchDate("05/21/2008");
    EXPECT_EQ(date.month, "2008-05");
    EXPECT_EQ(date.acceptDate, "21.05.2008");
}

TEST(BatchPages, PageCountIsOnePagePerTwentyPictures)
{
    const struct
    {
        QByteArray count;
        qint64 pages;
    } cases[] = {{"1", 1},   {"20", 1},  {"21", 2},  {"40", 2},      {"41", 3},  {"100", 5}, {"101", 6},
                 {"250", 13}, {"0", 0}, {"-3", 0}, {"many", 1}, {"", 1}, {"12a", 1}};
    for (const auto& c : cases)
        EXPECT_EQ(collect::batchPageCount(c.count), c.pages) << c.count.constData();
}

TEST(BatchPages, ApprovedTotalStandsBetweenViewAllAndApproved)
{
    EXPECT_EQ(collect::approvedTotal("<a href=x>VIEW ALL 57\r\nApproved Photos</a>"), 57);
    EXPECT_EQ(collect::approvedTotal("View All 0 Approved"), 0);
    EXPECT_THROW(collect::approvedTotal("<form action=\"login.mhtml\">"), collect::PageError);
    EXPECT_THROW(collect::approvedTotal("View All many Approved"), collect::PageError);
}

TEST(BatchPages, ReadsAnEntryFromTheLinesAroundItsMarker)
{
    const QList<QByteArray> lines = batchEntryLines();
    const collect::BatchEntry entry = collect::readBatchEntry(lines, 6);
    EXPECT_EQ(entry.pictureId, "4315912");
    EXPECT_EQ(entry.title, "Harbor&#39;s lights");
    EXPECT_EQ(entry.previewAddress, "http://127.0.0.1:8080/thumbs/4315912.jpg");
    EXPECT_EQ(entry.keywords, "harbor, night, boats");
}

TEST(BatchPages, AnEntryTooCloseToEitherEndIsAPageError)
{
    const QList<QByteArray> lines = batchEntryLines();
    EXPECT_THROW(collect::readBatchEntry(lines.mid(1), 5), collect::PageError);
    EXPECT_THROW(collect::readBatchEntry(lines.first(10), 6), collect::PageError);
}

TEST(ChoiceLists, MonthsRunFromTheCurrentMonthDownTo2004WithSeparatorsBeforeDecember)
{
    const QStringList may = collect::monthListRows(QDate(2008, 5, 14));
    ASSERT_GE(may.size(), 8);
    EXPECT_EQ(may.mid(0, 6), rows({"2008-05", "2008-04", "2008-03", "2008-02", "2008-01", "--------------"}));
    EXPECT_EQ(may[6], QLatin1String("2007-12"));
    EXPECT_EQ(may.last(), QLatin1String("2004-01"));
    EXPECT_EQ(may.size(), 5 + 4 * 13);
    EXPECT_EQ(may.count(collect::MonthSeparator), 4);

    const QStringList december = collect::monthListRows(QDate(2008, 12, 1));
    EXPECT_EQ(december.mid(0, 2), rows({"--------------", "2008-12"}));
}

TEST(ChoiceLists, DaysRunFrom31DownTo01)
{
    const QStringList days = collect::dayListRows();
    ASSERT_EQ(days.size(), 31);
    EXPECT_EQ(days.first(), QLatin1String("31"));
    EXPECT_EQ(days[21], QLatin1String("10"));
    EXPECT_EQ(days.last(), QLatin1String("01"));
}
