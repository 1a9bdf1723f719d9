#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <algorithm>

#include "collect/collectors.h"
#include "collect/page_lines.h"
#include "data/fb_client.h"
#include "tests/collection/collection_fixture.h"
#include "tests/collection/page_server.h"
#include "tests/collection/recording_context.h"
#include "tools/agency-sim/calendar.h"
#include "tools/agency-sim/texts.h"

using namespace collection_tests;
using agencysim::Day;
using collect::RunEnd;

namespace {

const QString Updated = QStringLiteral(u"Обновлено!");

QByteArray dollars(int cents)
{
    return QByteArray::number(cents / 100) + '.' + QByteArray::number(cents % 100).rightJustified(2, '0');
}

QByteArray logLine(const agencysim::SaleEntry& entry, const std::string& title)
{
    return QByteArray::number(qlonglong(entry.pictureId)) + " [" + QByteArray::number(entry.count) + "/" +
           dollars(entry.cents) + "] " + QByteArray::fromStdString(title);
}

collect::LogColor colorOf(agencysim::SaleKind kind)
{
    switch (kind) {
    case agencysim::SaleKind::OnDemand:
        return collect::LogBlue;
    case agencysim::SaleKind::Enhanced:
        return collect::LogRed;
    case agencysim::SaleKind::Regular:
        break;
    }
    return collect::LogGreen;
}

class SalesCollection : public CollectionTest
{
protected:
    void SetUp() override { startAgency(); }

    std::vector<Day> saleDays(const char* month)
    {
        return portfolio().saleDays(*agencysim::parseIsoMonth(month));
    }

    // Every sale day of the months (of the ticked days, when any) holds exactly what the agency sold.
    void expectCollected(std::initializer_list<const char*> months)
    {
        for (const char* month : months)
            for (const Day& day : saleDays(month)) {
                if (context.days.isEmpty() || context.days.contains(isoDay(day).mid(8, 2))) {
                    EXPECT_EQ(storedSales(day), expectedSales(day)) << agencysim::isoDate(day);
                }
            }
    }
    qsizetype tickedSaleDays(const char* month)
    {
        const std::vector<Day> days = saleDays(month);
        return std::count_if(days.begin(), days.end(), [this](const Day& day) {
            return context.days.contains(isoDay(day).mid(8, 2));
        });
    }

    RecordingContext context;
};

} // namespace

TEST_F(SalesCollection, StoresEveryTickedMonthAsTheAgencySoldIt)
{
    context.months = {"2008-05", "2008-04"};
    context.days = {"02", "03", "14", "15"};
    EXPECT_EQ(collect::collectSales(context, fetcher(), dm()), RunEnd::Finished);
    dm().Transaction.commit();

    expectCollected({"2008-05", "2008-04"});
    EXPECT_EQ(rowCount("SALES where SALE_DATE < '01.04.2008'"), 0);
    EXPECT_EQ(rowCount("SALES where extract(day from SALE_DATE) not in (2, 3, 14, 15)"), 0);
    const qsizetype days = tickedSaleDays("2008-05") + tickedSaleDays("2008-04");
    EXPECT_EQ(context.progressMax, 60);
    EXPECT_EQ(context.steps, days);
    EXPECT_EQ(context.progress, 60);
    EXPECT_EQ(context.information, QList<QString>{Updated});
    EXPECT_EQ(context.refreshes, 1);
    EXPECT_TRUE(context.errors.isEmpty());
    EXPECT_FALSE(QFile::exists(db.appDir() + QStringLiteral("/Temp/temp.html")));
}

TEST_F(SalesCollection, CollectingAgainLeavesTheSameRows)
{
    context.months = {"2008-05"};
    context.days = {"09", "10", "11", "12"};
    collect::collectSales(context, fetcher(), dm());
    const int sales = rowCount("SALES");
    const int pictures = rowCount("PICTURES");
    collect::collectSales(context, fetcher(), dm());
    dm().Transaction.commit();
    EXPECT_EQ(rowCount("SALES"), sales);
    EXPECT_EQ(rowCount("PICTURES"), pictures);
    expectCollected({"2008-05"});
}

TEST_F(SalesCollection, NewPicturesGetTitleAndPreviewOnly)
{
    const Day day = saleDays("2008-05").front();
    context.months = {"2008-05"};
    context.days = {isoDay(day).mid(8, 2)};
    collect::collectSales(context, fetcher(), dm());
    dm().Transaction.commit();

    const agencysim::SaleEntry first = portfolio().dayEntries(day).front();
    const QByteArray id = QByteArray::number(qlonglong(first.pictureId));
    const QString preview = db.appDir() + QStringLiteral("/PREVIEW/") + QString::fromLatin1(id) + QStringLiteral(".jpg");
    ASSERT_TRUE(QFile::exists(preview));
    QFile file(preview);
    file.open(QIODevice::ReadOnly);
    const auto rows = db.rows("select TITLE, ACCEPT_DATE, KEYWORDS, IDBATCH, IDFOLDER, octet_length(IMAGE) from "
                              "PICTURES where ID = " + id);
    ASSERT_EQ(rows.size(), 1u);
    const std::string title = agencysim::pictureTitle(portfolio().options().seed, first.pictureId);
    EXPECT_EQ(rows[0], QByteArrayList({QByteArray::fromStdString(title), "", "", "", "",
                                       QByteArray::number(file.size())}));
}

TEST_F(SalesCollection, LogsEachDayAndEachEntryInTheColourOfItsKind)
{
    const Day day = saleDays("2008-04")[3];
    context.months = {"2008-04"};
    context.days = {isoDay(day).mid(8, 2)};
    collect::collectSales(context, fetcher(), dm());

    QList<RecordingContext::LogLine> expected = {
        {"", collect::LogGreen},
        {"========================== " + isoDay(day) + " ==========================", collect::LogGreen},
        {"", collect::LogGreen}};
    for (const agencysim::SaleEntry& entry : portfolio().dayEntries(day))
        expected.append({logLine(entry, agencysim::pictureTitle(portfolio().options().seed, entry.pictureId)),
                         colorOf(entry.kind)});
    ASSERT_EQ(context.log.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(context.log[i].text, expected[i].text) << i;
        EXPECT_TRUE(context.log[i].color == expected[i].color) << context.log[i].text.constData();
    }
    EXPECT_EQ(context.scrolls, expected.size() - 3);
    EXPECT_EQ(context.dateLabels, QList<QByteArray>{isoDay(day)});
}

TEST_F(SalesCollection, TickedDaysAreReadInPageOrderAndOnlyWhenTheyHadSales)
{
    context.months = {"2008-04"};
    context.days = {"17", "05", "31"};
    collect::collectSales(context, fetcher(), dm());
    EXPECT_EQ(context.dateLabels, QList<QByteArray>({"2008-04-05", "2008-04-17"}));
    EXPECT_EQ(context.steps, 2);
    EXPECT_EQ(context.progress, context.progressMax);
}

TEST_F(SalesCollection, NoTickedMonthSaysSoAndDownloadsNothing)
{
    context.log = {{"left from the last run", collect::LogRed}};
    context.progress = 17;
    EXPECT_EQ(collect::collectSales(context, fetcher(), dm()), RunEnd::NoMonth);
    EXPECT_EQ(context.errors.size(), 1);
    EXPECT_EQ(context.errors.value(0).text, QStringLiteral(u"Не выбрано ни одного месяца"));
    EXPECT_TRUE(context.log.isEmpty());
    EXPECT_EQ(context.progress, 0);
    EXPECT_TRUE(context.information.isEmpty());
    EXPECT_EQ(rowCount("PICTURES"), 0);
}

TEST_F(SalesCollection, CancelFinishesTheDayPageAndStopsBeforeTheNext)
{
    context.months = {"2008-05"};
    context.onProcessMessages = [this] { context.stop = !context.entryLines().isEmpty(); };
    EXPECT_EQ(collect::collectSales(context, fetcher(), dm()), RunEnd::Cancelled);
    dm().Transaction.commit();

    const Day first = saleDays("2008-05").front();
    EXPECT_EQ(storedSales(first), expectedSales(first));
    EXPECT_EQ(context.dateLabels, QList<QByteArray>{isoDay(first)});
    EXPECT_EQ(rowCount("SALES"), storedSales(first).size());
    EXPECT_TRUE(context.information.isEmpty());
    EXPECT_EQ(context.refreshes, 0);
}

TEST_F(SalesCollection, StopSetBeforeTheRunIsClearedByIt)
{
    context.months = {"2008-05"};
    context.days = {"02"};
    context.stop = true;
    EXPECT_EQ(collect::collectSales(context, fetcher(), dm()), RunEnd::Finished);
}

// A day page that does not arrive, a dropped connection, a timeout, an expired login, a dead agency:
// each ends the run with its message; the days before stay stored and the next run works.
TEST_F(SalesCollection, ADayPageThatDoesNotArriveEndsTheRunKeepingTheDaysBefore)
{
    const std::vector<Day> days = saleDays("2008-05");
    const QByteArray missing = isoDay(days[2]);
    startAgency(failing("date=" + missing.toStdString()));
    context.months = {"2008-05"};
    try {
        collect::collectSales(context, fetcher(), dm());
        FAIL() << "the run went on past the missing page";
    } catch (const collect::PageError& error) {
        EXPECT_NE(std::string(error.what()).find("stats_date.mhtml?date=" + missing.toStdString()), std::string::npos)
            << error.what();
    }
    dm().Transaction.commit();
    EXPECT_EQ(storedSales(days[0]), expectedSales(days[0]));
    EXPECT_EQ(storedSales(days[1]), expectedSales(days[1]));
    EXPECT_TRUE(storedSales(days[2]).isEmpty());
    EXPECT_TRUE(context.information.isEmpty());

    startAgency();
    EXPECT_EQ(collect::collectSales(context, fetcher(), dm()), RunEnd::Finished);
    dm().Transaction.commit();
    expectCollected({"2008-05"});
}

TEST_F(SalesCollection, AMonthPageThatDoesNotArriveIsAnErrorNotAnEmptyMonth)
{
    agencysim::Faults faults;
    faults.dropPaths = {"year_month=2008-04"};
    startAgency(faults);
    context.months = {"2008-05", "2008-04"};
    context.days = {"02"};
    EXPECT_THROW(collect::collectSales(context, fetcher(), dm()), collect::PageError);
    EXPECT_TRUE(context.information.isEmpty());
}

// The second day's page never comes; every other page comes in a small part of the timeout.
TEST_F(SalesCollection, ASlowAgencyEndsTheRunAtTheTimeout)
{
    const Day day = saleDays("2008-05")[1];
    startAgency(hanging("date=" + agencysim::isoDate(day)));
    context.months = {"2008-05"};
    try {
        collect::collectSales(context, fetcher(std::chrono::seconds(2)), dm());
        FAIL() << "the slow page was not given up";
    } catch (const collect::PageError& error) {
        EXPECT_NE(std::string(error.what()).find("imed out"), std::string::npos) << error.what();
    }
    dm().Transaction.commit();
    const Day first = saleDays("2008-05")[0];
    EXPECT_EQ(storedSales(first), expectedSales(first));
    EXPECT_EQ(rowCount("SALES"), storedSales(first).size());
}

TEST_F(SalesCollection, ADeadAgencyEndsTheRunAtTheFirstPage)
{
    const collect::PageFetcher deadAgency = fetcher();
    agency().stop();
    context.months = {"2008-05"};
    EXPECT_THROW(collect::collectSales(context, deadAgency, dm()), collect::PageError);
    EXPECT_EQ(rowCount("PICTURES"), 0);
}

TEST_F(SalesCollection, ALoginThatExpiresInTheRunShowsThePromptAndEndsIt)
{
    // The month page and two day pages are served; the third day page is the login page.
    startAgency(expiring(3));
    const std::vector<Day> days = saleDays("2008-05");
    context.months = {"2008-05"};
    context.answer = true;
    EXPECT_EQ(collect::collectSales(context, fetcher(), dm()), RunEnd::LoginPrompt);
    dm().Transaction.commit();

    ASSERT_EQ(context.questions.size(), 1);
    EXPECT_EQ(context.questions[0].caption, QStringLiteral(u"Ошибка"));
    EXPECT_EQ(context.opened, QList<QByteArray>{QByteArray::fromStdString(agency().baseUrl()) +
                                                "/stats_date.mhtml?date=" + isoDay(days[2])});
    EXPECT_EQ(storedSales(days[1]), expectedSales(days[1]));
    EXPECT_TRUE(storedSales(days[2]).isEmpty());
    EXPECT_TRUE(context.information.isEmpty());
    EXPECT_EQ(context.refreshes, 0);
}

namespace {

// A month page with one sale day, and that day's page made of the given entries and lines.
std::map<std::string, std::string> craftedMonth(const std::string& dayPage)
{
    return {{"/stats.mhtml?year_month=2008-05",
             "<tr><td><a href=\"stats_date.mhtml?date=2008-05-07\">05/07/2008</a></td>\n<td>4</td>\n"},
            {"/stats_date.mhtml?date=2008-05-07", dayPage}};
}

std::string entry(const std::string& markerLine, const std::string& id, const std::string& title, int count)
{
    return markerLine + "\r\n<a href=\"pic.mhtml?id=" + id + "\"\r\ntarget=\"_blank\">\r\n<img src=\"http://127.0.0.1:1/x.jpg\"\r\nalt=\"stock photo : " +
           title + "\" border=\"0\">\r\n</a>\r\n</div>\r\n</td>\r\n<td align=\"center\">\r\n" + std::to_string(count) +
           "</td>\r\n<td align=\"right\">$1.25</td>\r\n</tr>\r\n";
}

const std::string Marker = "<tr><td class=\"thumb\"><div class=\"thumb_image_container\">";

} // namespace

TEST_F(SalesCollection, AHostileIdEndsTheRunAfterTheEntriesBeforeIt)
{
    for (const std::string hostile : {"1 or 1=1", "../../etc/passwd", "12;drop table SALES", ""}) {
        SCOPED_TRACE(hostile);
        const PageServer pages(craftedMonth("<html>\r\n" + entry(Marker, "101", "Fine", 1) +
                                            entry(Marker, hostile, "Bad", 1) + entry(Marker, "103", "Later", 1)));
        const QByteArray base = QByteArray::fromStdString(pages.baseUrl());
        const collect::PageFetcher crafted(db.appDir(), collect::AgencySite(base, base, {}), {});
        context.months = {"2008-05"};
        EXPECT_THROW(collect::collectSales(context, crafted, dm()), data::DbError);
        dm().Transaction.commit();
        EXPECT_EQ(db.rows("select IDPICTURE from SALES"), std::vector<QByteArrayList>{{"101"}});
        EXPECT_EQ(rowCount("PICTURES"), 1);
    }
    EXPECT_EQ(QDir(db.appDir()).entryList(QDir::Files), QStringList({QStringLiteral("cookies.txt"), QStringLiteral("PHOTOLEDGER.GDB")}));
}

TEST_F(SalesCollection, TitlesAreStoredAndLoggedAsThePageWritesThem)
{
    const std::string title = "It's <b>&amp;</b> ' or ''1''='1";
    const PageServer pages(craftedMonth("<html>\r\n" + entry(Marker, "101", title, 2)));
    const QByteArray base = QByteArray::fromStdString(pages.baseUrl());
    context.months = {"2008-05"};
    collect::collectSales(context, collect::PageFetcher(db.appDir(), collect::AgencySite(base, base, {}), {}), dm());
    dm().Transaction.commit();
    EXPECT_EQ(db.rows("select TITLE from PICTURES"), std::vector<QByteArrayList>{{QByteArray::fromStdString(title)}});
    EXPECT_EQ(context.entryLines().value(0).text, "101 [2/1.25] " + QByteArray::fromStdString(title));
}

TEST_F(SalesCollection, AnEntryOnAHeadingLineKeepsTheKindBeforeIt)
{
    const PageServer pages(craftedMonth(
        "<html>\r\n" + entry(Marker + "On Demand Downloads", "101", "Regular", 2) + entry(Marker, "102", "On demand", 1) +
        "<td>Enhanced Downloads</td>\r\n" + entry(Marker, "101", "Enhanced", 1) +
        "<p>Images printed on a backup CD:1</p>\r\n" + entry(Marker, "104", "Backup", 1) + "<p>end</p>\r\n"));
    const QByteArray base = QByteArray::fromStdString(pages.baseUrl());
    context.months = {"2008-05"};
    collect::collectSales(context, collect::PageFetcher(db.appDir(), collect::AgencySite(base, base, {}), {}), dm());
    dm().Transaction.commit();
    EXPECT_EQ(db.rows("select IDPICTURE, \"COUNT\", \"SUM\", ON_DEMAND, ENHANCED from SALES order by IDPICTURE"),
              std::vector<QByteArrayList>({{"101", "3", "1.25", "", "1.25"}, {"102", "1", "", "1.25", ""}}));
}

TEST_F(SalesCollection, AnEntryCutOffByThePageEndIsAnError)
{
    const std::string page = "<html>\r\n" + entry(Marker, "101", "Fine", 1) + Marker + "\r\n<a href=\"pic.mhtml?id=102\">\r\n";
    const PageServer pages(craftedMonth(page));
    const QByteArray base = QByteArray::fromStdString(pages.baseUrl());
    context.months = {"2008-05"};
    EXPECT_THROW(
        collect::collectSales(context, collect::PageFetcher(db.appDir(), collect::AgencySite(base, base, {}), {}), dm()),
        collect::PageError);
    dm().Transaction.commit();
    EXPECT_EQ(rowCount("SALES"), 1);
}
