#include <gtest/gtest.h>

#include "collect/page_lines.h"
#include "collect/sale_dates.h"

using collect::PageError;
using collect::saleDatesOf;
using Lines = QList<QByteArray>;

namespace {

QByteArray dayLink(const char* day)
{
    return QByteArray("<tr><td><a href=\"/stats_date.mhtml?date=") + day + "\">" + day + "</a></td>";
}

} // namespace

TEST(SaleDates, ListsDaysWithDownloadsInPageOrder)
{
    const Lines page{
        "<table>",
        dayLink("2008-05-21"), "<TD>3</TD>",
        dayLink("2008-05-20"), "<td>0</td>",
        dayLink("2008-05-19"), "<td> 12 </td><td>$4.50</td>",
        dayLink("2008-05-18"), "<td>n/a</td>",
        dayLink("2008-05-17"), "<td>5",
        dayLink("2008-05-16"), "</td>5<td>",
        dayLink("2008-05-21"), "<td>1</td>",
        "</table>",
    };
    EXPECT_EQ(saleDatesOf(page), (Lines{"2008-05-21", "2008-05-19", "2008-05-21"}));
}

TEST(SaleDates, LineAfterAMarkerIsSearchedToo)
{
    // The count line of one day is itself a day link; its own count is on the line after it.
    const Lines page{"<a href=\"/stats_date.mhtml?date=2008-05-02\">",
                     "<td>2</td><a href=\"/stats_date.mhtml?date=2008-05-01\">", "<td>4</td>"};
    EXPECT_EQ(saleDatesOf(page), (Lines{"2008-05-02", "2008-05-01"}));
}

TEST(SaleDates, MarkerIsCaseSensitive)
{
    EXPECT_EQ(saleDatesOf({"<a href=\"/STATS_DATE.mhtml?date=2008-05-21\">", "<td>3</td>"}), Lines{});
}

TEST(SaleDates, MarkerOnTheLastLineIsAPageError)
{
    EXPECT_THROW(saleDatesOf({"<td>1</td>", dayLink("2008-05-21")}), PageError);
}

TEST(SaleDates, DayThatIsNotADateIsAPageError)
{
    // The day becomes part of an address and of statements: only yyyy-mm-dd passes.
    for (const char* day : {"2008-05-2", "2008'05-21", "../../etc/", "2008-05-2\">"})
        EXPECT_THROW(saleDatesOf({dayLink(day), "<td>3</td>"}), PageError) << day;
}
