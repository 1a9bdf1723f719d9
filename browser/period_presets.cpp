#include "browser/period_presets.h"

namespace browser {

namespace {

const QDate FirstDayOfAllTime(2005, 1, 1);

} // namespace

const QStringList& periodPresetNames()
{
    static const QStringList names{
        QStringLiteral("сегодня"),           QStringLiteral("вчера"),
        QStringLiteral("с начала недели"),   QStringLiteral("с начала месяца"),
        QStringLiteral("с начала года"),     QStringLiteral("последние 7 дней"),
        QStringLiteral("последние 30 дней"), QStringLiteral("последние 365 дней"),
        QStringLiteral("за все время")};
    return names;
}

std::optional<Period> presetPeriod(int index, const QDateTime& now)
{
    const QDate today = now.date();
    switch (index) {
    case Today:
        return Period{now, now};
    case Yesterday:
        return Period{now.addDays(-1), now.addDays(-1)};
    case WeekStart:
        return Period{now.addDays(-(today.dayOfWeek() - 1)), now};
    case MonthStart:
        return Period{now.addDays(-(today.day() - 1)), now};
    case YearStart:
        return Period{now.addDays(-(today.dayOfYear() - 1)), now};
    case Last7Days:
        return Period{now.addDays(-7), now};
    case Last30Days:
        return Period{now.addDays(-30), now};
    case Last365Days:
        return Period{now.addDays(-365), now};
    case AllTime:
        return Period{QDateTime(FirstDayOfAllTime, QTime(0, 0)), now};
    default:
        return std::nullopt;
    }
}

} // namespace browser
