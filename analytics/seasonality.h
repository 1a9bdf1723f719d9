#pragma once

#include <QDate>

#include <array>
#include <vector>

#include "analytics/portfolio_facts.h"

namespace analytics {

// The whole portfolio's earnings in the period by calendar month and year, and the year of the period's
// last stored day against the year before over the same days.
struct Seasonality
{
    struct Year
    {
        int year = 0;
        // January first.
        std::array<double, 12> months{};
    };
    // Every year from the first to the last with stored days in the period.
    std::vector<Year> years;

    // This year's days: from the later of the period's start and 1 January, to the earlier of the
    // period's end and the last stored day; invalid when the period holds no stored day.
    QDate sameDaysFrom;
    QDate sameDaysTill;
    double thisYear = 0;
    // The same dates a year earlier, whether in the period or not.
    double lastYear = 0;
};

// Earnings are regular, on-demand and enhanced together, or the regular ones alone when the single
// big licences are left out.
Seasonality seasonality(const std::vector<DaySales>& days, const Period& period, bool withoutSingleLicences);
Seasonality readSeasonality(data::Connection& connection, data::Transaction& transaction,
                            const Period& period, bool withoutSingleLicences);

} // namespace analytics
