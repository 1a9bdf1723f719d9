#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>

namespace data {
class Query;
class Transaction;
} // namespace data

namespace app {

// A row of the CALENDAR table: the ISO 8601 week number of a date and its short weekday name.
struct CalendarDay
{
    int week = 0;
    QString weekdayName;
};

CalendarDay calendarDay(QDate date);

// The statement that inserts the CALENDAR row of a date, as WIN1251 bytes.
QByteArray calendarInsertStatement(QDate date);

// Inserts one CALENDAR row per day from 01.01.2005 to 31.12.2019 through the statement runner, then
// commits once. A row that the
// database rejects ends the fill with the database's message; the rows before it stay uncommitted.
void fillCalendar(data::Query& runner, data::Transaction& transaction);

} // namespace app
