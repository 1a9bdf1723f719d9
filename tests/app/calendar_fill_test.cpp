// The calendar fill: ISO weeks and weekday names, the statement text, and the filled table.

#include <QPushButton>

#include <gtest/gtest.h>

#include "app/calendar_fill.h"
#include "app/main_window.h"
#include "platform/message_box.h"
#include "platform/win1251.h"
#include "tests/support/temp_database.h"

namespace {

struct DayCase
{
    QDate date;
    int week;
    const char* weekday;
};

TEST(CalendarDay, GivesTheIsoWeekAndTheShortWeekdayName)
{
    const DayCase cases[] = {
        {QDate(2005, 1, 1), 53, "Сб"},  {QDate(2005, 1, 2), 53, "Вс"},  {QDate(2005, 1, 3), 1, "Пн"},
        {QDate(2005, 1, 4), 1, "Вт"},   {QDate(2005, 1, 5), 1, "Ср"},   {QDate(2005, 1, 6), 1, "Чт"},
        {QDate(2005, 1, 7), 1, "Пт"},   {QDate(2008, 12, 29), 1, "Пн"}, {QDate(2015, 12, 31), 53, "Чт"},
        {QDate(2019, 12, 31), 1, "Вт"},
    };
    for (const DayCase& c : cases) {
        const app::CalendarDay day = app::calendarDay(c.date);
        EXPECT_EQ(day.week, c.week) << c.date.toString(Qt::ISODate).toStdString();
        EXPECT_EQ(day.weekdayName, QString::fromUtf8(c.weekday))
            << c.date.toString(Qt::ISODate).toStdString();
    }
}

TEST(CalendarInsertStatement, IsTheInsertOfOneRowInWin1251)
{
    EXPECT_EQ(
        platform::fromWin1251(app::calendarInsertStatement(QDate(2005, 1, 1))),
        QStringLiteral("INSERT INTO CALENDAR (\"DATE\", WEEK_NUM, DOW) VALUES ('01.01.2005', 53, 'Сб')"));
}

class CalendarFillTest : public test_support::DatabaseTest
{
protected:
    platform::MessageBoxRecorder boxes;
    app::TfmMain window{db.appDir()};

    // Counts with a connection of its own, so only committed rows are seen.
    QByteArray rowOf(const char* date)
    {
        dm().qrExecute.setText(QByteArray("select WEEK_NUM, DOW from CALENDAR where \"DATE\" = '") + date +
                               "'");
        dm().qrExecute.open();
        return dm().qrExecute.field("WEEK_NUM").asText() + ' ' + dm().qrExecute.field("DOW").asText();
    }
};

TEST_F(CalendarFillTest, HiddenButtonFillsFifteenYearsAndCommitsThem)
{
    window.Button1->click();

    EXPECT_TRUE(boxes.requests().empty());
    EXPECT_FALSE(dm().Transaction.inTransaction()) << "committed once at the end";
    EXPECT_EQ(db.committedValue("select count(*) from CALENDAR"), 5478);
    EXPECT_EQ(db.committedValue("select count(distinct \"DATE\") from CALENDAR"), 5478);
    EXPECT_EQ(db.committedValue(
                  "select count(*) from CALENDAR where \"DATE\" < '01.01.2005' or \"DATE\" > '31.12.2019'"),
              0);
    EXPECT_EQ(rowOf("01.01.2005"), platform::toWin1251(QStringLiteral("53 Сб")));
    EXPECT_EQ(rowOf("03.01.2005"), platform::toWin1251(QStringLiteral("1 Пн")));
    EXPECT_EQ(rowOf("31.12.2019"), platform::toWin1251(QStringLiteral("1 Вт")));
}

TEST_F(CalendarFillTest, ARejectedRowEndsTheFillWithTheDatabasesMessageAndCommitsNothing)
{
    db.execute("alter table CALENDAR add constraint NO_FEBRUARY check (\"DATE\" < '01.02.2005')");

    window.Button1->click();

    ASSERT_EQ(boxes.requests().size(), 1u);
    EXPECT_TRUE(boxes.requests()[0].text.contains(QStringLiteral("NO_FEBRUARY")))
        << boxes.requests()[0].text.toStdString();
    EXPECT_TRUE(dm().Transaction.inTransaction()) << "the rows before stay in the running transaction";
    EXPECT_EQ(db.committedValue("select count(*) from CALENDAR"), 0);
    dm().qrExecute.setText("select count(*) from CALENDAR");
    dm().qrExecute.open();
    EXPECT_EQ(dm().qrExecute.field(0).asInt64(), 31);
}

} // namespace
