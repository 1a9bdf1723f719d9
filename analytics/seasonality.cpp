#include "analytics/seasonality.h"

#include <algorithm>

namespace analytics {

namespace {

double earningsOf(const DaySales& day, bool withoutSingleLicences)
{
    return withoutSingleLicences ? day.regular : day.regular + day.singleLicences;
}

double earningsBetween(const std::vector<DaySales>& days, QDate from, QDate till, bool withoutSingleLicences)
{
    double sum = 0;
    for (const DaySales& day : days)
        if (day.day >= from && day.day <= till)
            sum += earningsOf(day, withoutSingleLicences);
    return sum;
}

} // namespace

Seasonality seasonality(const std::vector<DaySales>& days, const Period& period, bool withoutSingleLicences)
{
    checkPeriod(period);
    Seasonality table;
    QDate lastStored;
    for (const DaySales& day : days) {
        if (day.day < period.from || day.day > period.till)
            continue;
        if (table.years.empty() || table.years.back().year != day.day.year()) {
            const int next = table.years.empty() ? day.day.year() : table.years.back().year + 1;
            for (int year = next; year <= day.day.year(); ++year)
                table.years.push_back({year});
        }
        table.years.back().months[std::size_t(day.day.month() - 1)] += earningsOf(day, withoutSingleLicences);
        lastStored = day.day;
    }
    if (!lastStored.isValid())
        return table;
    table.sameDaysTill = lastStored;
    table.sameDaysFrom = std::max(period.from, QDate(lastStored.year(), 1, 1));
    table.thisYear = earningsBetween(days, table.sameDaysFrom, table.sameDaysTill, withoutSingleLicences);
    table.lastYear = earningsBetween(days, table.sameDaysFrom.addYears(-1), table.sameDaysTill.addYears(-1),
                                     withoutSingleLicences);
    return table;
}

Seasonality readSeasonality(data::Connection& connection, data::Transaction& transaction,
                            const Period& period, bool withoutSingleLicences)
{
    checkPeriod(period);
    return seasonality(readDaySales(connection, transaction), period, withoutSingleLicences);
}

} // namespace analytics
