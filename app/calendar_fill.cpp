#include "app/calendar_fill.h"

#include <array>

#include "data/connection.h"
#include "data/dataset.h"
#include "data/value.h"
#include "platform/win1251.h"

namespace app {

namespace {

const std::array<QString, 7> WeekdayNames = {
    QStringLiteral("Пн"), QStringLiteral("Вт"), QStringLiteral("Ср"), QStringLiteral("Чт"),
    QStringLiteral("Пт"), QStringLiteral("Сб"), QStringLiteral("Вс"),
};

const QDate FirstDate(2005, 1, 1);
const QDate EndDate(2020, 1, 1);

} // namespace

CalendarDay calendarDay(QDate date)
{
    return {date.weekNumber(), WeekdayNames.at(static_cast<size_t>(date.dayOfWeek() - 1))};
}

QByteArray calendarInsertStatement(QDate date)
{
    const CalendarDay day = calendarDay(date);
    return "INSERT INTO CALENDAR (\"DATE\", WEEK_NUM, DOW) VALUES ('" + data::formatDate(date) + "', " +
           QByteArray::number(day.week) + ", '" + platform::toWin1251(day.weekdayName) + "')";
}

void fillCalendar(data::Query& runner, data::Transaction& transaction)
{
    for (QDate date = FirstDate; date < EndDate; date = date.addDays(1)) {
        runner.close();
        runner.setText(calendarInsertStatement(date));
        runner.execute();
    }
    transaction.commit();
}

} // namespace app
