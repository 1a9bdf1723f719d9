#include "collect/choice_lists.h"

namespace collect {

namespace {

constexpr int FirstYear = 2004;
constexpr int DaysInList = 31;

QString twoDigits(int number)
{
    return QStringLiteral("%1").arg(number, 2, 10, QLatin1Char('0'));
}

} // namespace

QStringList monthListRows(QDate today)
{
    QStringList rows;
    for (int year = today.year(); year >= FirstYear; --year) {
        for (int month = 12; month >= 1; --month) {
            if (year == today.year() && month > today.month())
                continue;
            if (month == 12)
                rows.append(MonthSeparator);
            rows.append(QString::number(year) + QLatin1Char('-') + twoDigits(month));
        }
    }
    return rows;
}

QStringList dayListRows()
{
    QStringList rows;
    for (int day = DaysInList; day >= 1; --day)
        rows.append(twoDigits(day));
    return rows;
}

} // namespace collect
