#pragma once

#include <vector>

#include "chart/portfolio_chart.h"

namespace data {
class Query;
} // namespace data

namespace chart {

// The statement by which the chart reads the portfolio's days.
inline constexpr char GraphStatement[] =
    "select COUNT_SALES, SUM_SALES, SUM_ONDEMAND, SUM_ENHANCED, DATE_SALES  from GRAPH";

// Runs GRAPH on the query, closed first, and reads every row in the order GRAPH returns them: counts
// as they are, money sums to the nearest whole unit (an exact half to the even neighbour), an empty
// value as 0 (for the day, the zero date 30.12.1899). Values far beyond any surface are held at
// ±1,000,000,000. The query is left open at the end of its rows.
std::vector<ChartDay> readGraphDays(data::Query& query);

} // namespace chart
