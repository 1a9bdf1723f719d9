#include "analytics/lifecycle.h"

#include <algorithm>
#include <map>

namespace analytics {

namespace {

void growTo(LifecycleYear& year, std::size_t ages)
{
    if (year.earnings.size() < ages) {
        year.earnings.resize(ages);
        year.picturesSeen.resize(ages);
    }
}

std::optional<int> halfLifeOf(const std::vector<double>& earnings)
{
    double total = 0;
    for (double value : earnings)
        total += value;
    if (total <= 0)
        return std::nullopt;
    double sofar = 0;
    for (std::size_t age = 0; age < earnings.size(); ++age) {
        sofar += earnings[age];
        if (sofar >= total / 2)
            return int(age);
    }
    return int(earnings.size()) - 1;
}

} // namespace

std::optional<double> LifecycleYear::earningsPerPicture(std::size_t age) const
{
    if (age >= picturesSeen.size() || picturesSeen[age] == 0)
        return std::nullopt;
    return earnings[age] / picturesSeen[age];
}

std::vector<LifecycleYear> lifecycle(const std::map<QDate, int>& picturesOfMonth, const CohortSales& sales)
{
    std::map<int, LifecycleYear> years;
    for (const auto& [accepted, count] : picturesOfMonth) {
        LifecycleYear& year = years[accepted.year()];
        year.pictures += count;
        if (!sales.firstMonth.isValid())
            continue;
        const int firstAge = std::max(0, monthsBetween(accepted, sales.firstMonth));
        const int lastAge = std::max(0, monthsBetween(accepted, sales.lastMonth));
        growTo(year, std::size_t(lastAge) + 1);
        for (int age = firstAge; age <= lastAge; ++age)
            year.picturesSeen[std::size_t(age)] += count;
    }
    for (const CohortMonth& month : sales.months) {
        if (!month.acceptMonth.isValid() || !picturesOfMonth.contains(month.acceptMonth))
            continue;
        LifecycleYear& year = years[month.acceptMonth.year()];
        const int age = std::max(0, monthsBetween(month.acceptMonth, month.saleMonth));
        growTo(year, std::size_t(age) + 1);
        year.earnings[std::size_t(age)] += month.sales.earnings;
    }
    std::size_t ages = 0;
    for (const auto& [number, year] : years)
        ages = std::max(ages, year.earnings.size());
    std::vector<LifecycleYear> result;
    for (auto& [number, year] : years) {
        year.year = number;
        growTo(year, ages);
        year.halfLife = halfLifeOf(year.earnings);
        result.push_back(std::move(year));
    }
    return result;
}

std::vector<LifecycleYear> readLifecycle(data::Connection& connection, data::Transaction& transaction,
                                         const Period& period)
{
    const CohortSales sales = readCohortSales(connection, transaction, period);
    return lifecycle(readAcceptedPictures(connection, transaction, period.till), sales);
}

} // namespace analytics
