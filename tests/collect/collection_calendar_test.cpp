// The day states of the gaps calendar, from a collection log and stored sales made up for the cases.

#include <gtest/gtest.h>

#include "collect/collection_calendar.h"

using collect::CollectionCalendar;
using collect::DayState;
using data::DayReadEnd;

namespace {

QDateTime at(int month, int day, int hour)
{
    return QDateTime(QDate(2024, month, day), QTime(hour, 0));
}

data::DayRead read(DayReadEnd end, int entries)
{
    return {at(5, 20, 9), end, entries, entries * 2, entries * 0.5, {}};
}

// Today is 2024-05-20. April's page, read on 2 May, listed the 3rd, 5th, 7th and 9th; May's page,
// read this morning, listed the 1st and the 19th. Sales of 15 March and 9 April were stored before
// the log was kept, and the 5th of April before its last read failed.
CollectionCalendar calendar()
{
    data::CollectionRecord record;
    record.lastMonthReads[QDate(2024, 4, 1)] = {
        at(5, 2, 10), {QDate(2024, 4, 3), QDate(2024, 4, 5), QDate(2024, 4, 7), QDate(2024, 4, 9)}};
    record.lastMonthReads[QDate(2024, 5, 1)] = {at(5, 20, 8), {QDate(2024, 5, 1), QDate(2024, 5, 19)}};
    record.lastDayReads[QDate(2024, 4, 3)] = read(DayReadEnd::Stored, 3);
    record.lastDayReads[QDate(2024, 4, 5)] = read(DayReadEnd::Failed, 1);
    record.lastDayReads[QDate(2024, 4, 7)] = read(DayReadEnd::LoginPage, 0);
    record.lastDayReads[QDate(2024, 4, 11)] = read(DayReadEnd::Stored, 0);
    record.lastDayReads[QDate(2024, 5, 1)] = read(DayReadEnd::Stored, 0);
    record.storedDays = {QDate(2024, 3, 15), QDate(2024, 4, 5), QDate(2024, 4, 9)};
    return CollectionCalendar(record, QDate(2024, 5, 20));
}

} // namespace

TEST(CollectionCalendar, EveryDayStateFollowsItsLastReadsAndTheStoredSales)
{
    const struct
    {
        QDate day;
        DayState state;
        const char* why;
    } cases[] = {
        {QDate(2024, 4, 3), DayState::Collected, "read with entries"},
        {QDate(2024, 4, 5), DayState::Gap, "last read failed, whatever was stored before"},
        {QDate(2024, 4, 7), DayState::Gap, "the login page came instead"},
        {QDate(2024, 4, 9), DayState::Collected, "stored before the log was kept"},
        {QDate(2024, 4, 11), DayState::NoSales, "read without entries"},
        {QDate(2024, 4, 12), DayState::NoSales, "left out by the month page read after it"},
        {QDate(2024, 5, 1), DayState::Gap, "listed, yet read without entries"},
        {QDate(2024, 5, 19), DayState::Gap, "listed, never read"},
        {QDate(2024, 5, 18), DayState::NoSales, "left out by this morning's month page"},
        {QDate(2024, 5, 20), DayState::NeverLooked, "today is not over"},
        {QDate(2024, 5, 21), DayState::NeverLooked, "after today"},
        {QDate(2024, 3, 15), DayState::Collected, "stored, its month page never read"},
        {QDate(2024, 3, 16), DayState::NeverLooked, "its month page never read"},
    };
    const CollectionCalendar days = calendar();
    for (const auto& c : cases)
        EXPECT_EQ(days.state(c.day), c.state) << c.day.toString(Qt::ISODate).toStdString() << ": " << c.why;
}

TEST(CollectionCalendar, GapsComeInDateOrderWithTheMonthsAndDaysToTick)
{
    const CollectionCalendar days = calendar();
    const QList<QDate> gaps = days.gaps();
    EXPECT_EQ(gaps,
              QList<QDate>({QDate(2024, 4, 5), QDate(2024, 4, 7), QDate(2024, 5, 1), QDate(2024, 5, 19)}));
    EXPECT_EQ(collect::isoDays(gaps),
              QList<QByteArray>({"2024-04-05", "2024-04-07", "2024-05-01", "2024-05-19"}));
    EXPECT_EQ(collect::monthsOf(gaps), QList<QByteArray>({"2024-05", "2024-04"}));
    EXPECT_EQ(collect::daysOfMonthOf(gaps), QList<QByteArray>({"19", "07", "05", "01"}));
    EXPECT_EQ(days.firstMonth(), QDate(2024, 3, 1));
    EXPECT_EQ(CollectionCalendar({}, QDate(2024, 5, 20)).firstMonth(), QDate(2024, 5, 1));
    EXPECT_TRUE(CollectionCalendar({}, QDate(2024, 5, 20)).gaps().isEmpty());
}
