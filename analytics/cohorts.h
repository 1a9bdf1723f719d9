#pragma once

#include <QDate>

#include <optional>
#include <vector>

#include "analytics/portfolio_facts.h"

namespace analytics {

// The pictures accepted in one month (or those without an acceptance date) and what they sold.
struct CohortRow
{
    // Invalid for the pictures without an acceptance date.
    QDate acceptMonth;
    int pictures = 0;
    // Pictures with downloads in the period.
    int picturesSold = 0;
    Sales sales;
    // Days from acceptance to the first day with downloads ever, over the row's pictures that have
    // sold; a sale before the acceptance date counts as 0 days.
    std::optional<double> medianDaysToFirstSale;
    // One per sale month of the table.
    std::vector<Sales> cells;

    double earningsPerPicture() const { return pictures ? sales.earnings / pictures : 0; }
    double shareSold() const { return pictures ? double(picturesSold) / pictures : 0; }
};

// Sales of the period by acceptance month (rows) and sale month (columns). The columns are the months of
// the period that hold stored days. The rows are the acceptance months of the pictures accepted up to
// the period's end or with sales in it, in order, then one row of the pictures without an acceptance
// date when there are any.
struct Cohorts
{
    std::vector<QDate> saleMonths;
    std::vector<CohortRow> rows;
};

Cohorts cohorts(const std::vector<PictureFacts>& pictures, const CohortSales& sales, const Period& period);
Cohorts readCohorts(data::Connection& connection, data::Transaction& transaction, const Period& period);

// The median of the values (the mean of the middle two for an even count); none for no values.
std::optional<double> median(std::vector<double> values);

} // namespace analytics
