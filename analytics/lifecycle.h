#pragma once

#include <map>
#include <optional>
#include <vector>

#include "analytics/portfolio_facts.h"

namespace analytics {

// How the pictures accepted in one year earn by month since acceptance (age 0 is the acceptance month;
// a sale before the acceptance date counts at age 0).
struct LifecycleYear
{
    int year = 0;
    int pictures = 0;
    // Per age: the earnings at that age of the year's pictures in the period.
    std::vector<double> earnings;
    // Per age: the year's pictures seen at that age, those whose month of that age lies among the
    // months of the period that hold stored days; a picture accepted after them is seen at age 0.
    std::vector<int> picturesSeen;
    // The first age by whose end the year's pictures had earned half of their earnings in the period;
    // none without earnings.
    std::optional<int> halfLife;

    // The average earnings per picture seen at that age; none when no picture was seen at it.
    std::optional<double> earningsPerPicture(std::size_t age) const;
};

// One entry per acceptance year of the pictures accepted up to the period's end (their number per
// acceptance month, see readAcceptedPictures), in order; pictures without an acceptance date have no
// age, and those accepted later none in the period: both are left out. Every year has the same number
// of ages, up to the oldest age seen.
std::vector<LifecycleYear> lifecycle(const std::map<QDate, int>& picturesOfMonth, const CohortSales& sales);
std::vector<LifecycleYear> readLifecycle(data::Connection& connection, data::Transaction& transaction,
                                         const Period& period);

} // namespace analytics
