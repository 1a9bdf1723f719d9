#pragma once

#include <QByteArray>
#include <QDate>
#include <QList>

#include "data/collection_log.h"

namespace collect {

// What is known of a day's sales.
enum class DayState {
    NeverLooked, // no page read says anything of the day
    Collected,   // its sales are stored
    NoSales,     // read without entries, or left out by its month page as a day without downloads
    Gap,         // listed by its month page, or its last read failed, and its sales are not stored
};

// The days' states from the collection log and the stored sales, up to today:
// - the last read of the day page decides when there is one: a failed read (or the login page) leaves a
//   gap, a read with entries collected the day; a read without entries is no sales, unless the last
//   read of the month page lists the day, which makes it a gap;
// - without a read of its page, a day with stored sales is collected (stored before the log was
//   kept), one that the last month page read lists is a gap, and one it leaves out is no sales when
//   it was over before that read;
// - every other day was never looked at, as is every day after today.
class CollectionCalendar
{
public:
    CollectionCalendar(data::CollectionRecord record, QDate today);

    DayState state(QDate day) const;
    // The last read of the day's page, or null.
    const data::DayRead* lastRead(QDate day) const;

    // The first day of the earliest month that anything is known of, or of today's month.
    QDate firstMonth() const;
    QDate today() const { return today_; }

    // The gap days, in date order.
    QList<QDate> gaps() const;

private:
    bool listed(QDate day) const;

    data::CollectionRecord record_;
    QDate today_;
};

// Days as the collectors write them (yyyy-mm-dd).
QList<QByteArray> isoDays(const QList<QDate>& days);
// The months of the days (yyyy-mm) and their days of the month (dd), each once, newest first as the
// collection window lists them.
QList<QByteArray> monthsOf(const QList<QDate>& days);
QList<QByteArray> daysOfMonthOf(const QList<QDate>& days);

} // namespace collect
