#include "analytics/cohorts.h"

#include <algorithm>
#include <map>

namespace analytics {

namespace {

// The month key of a picture: its acceptance month, or an invalid date for none.
QDate cohortOf(const PictureFacts& picture)
{
    return picture.accepted ? monthOf(*picture.accepted) : QDate();
}

struct CohortSums
{
    CohortRow row;
    std::vector<double> daysToFirstSale;
};

} // namespace

std::optional<double> median(std::vector<double> values)
{
    if (values.empty())
        return std::nullopt;
    const std::size_t middle = values.size() / 2;
    std::nth_element(values.begin(), values.begin() + std::ptrdiff_t(middle), values.end());
    if (values.size() % 2)
        return values[middle];
    const double upper = values[middle];
    const double lower = *std::max_element(values.begin(), values.begin() + std::ptrdiff_t(middle));
    return (lower + upper) / 2;
}

Cohorts cohorts(const std::vector<PictureFacts>& pictures, const CohortSales& sales, const Period& period)
{
    Cohorts table;
    const int monthCount =
        sales.firstMonth.isValid() ? monthsBetween(sales.firstMonth, sales.lastMonth) + 1 : 0;
    for (int i = 0; i < monthCount; ++i)
        table.saleMonths.push_back(sales.firstMonth.addMonths(i));

    // Invalid dates sort first, so the row without an acceptance date is moved to the end below.
    std::map<QDate, CohortSums> rows;
    const auto rowOf = [&](QDate cohort) -> CohortSums& {
        CohortSums& sums = rows[cohort];
        if (sums.row.cells.empty()) {
            sums.row.acceptMonth = cohort;
            sums.row.cells.resize(std::size_t(monthCount));
        }
        return sums;
    };
    // A picture accepted after the period counts only when it sold in it.
    for (const PictureFacts& picture : pictures) {
        if (picture.accepted && *picture.accepted > period.till && !picture.sales)
            continue;
        CohortSums& sums = rowOf(cohortOf(picture));
        ++sums.row.pictures;
        if (picture.sales && picture.sales->downloads > 0)
            ++sums.row.picturesSold;
        if (picture.accepted && picture.firstSale)
            sums.daysToFirstSale.push_back(
                double(std::max<qint64>(0, picture.accepted->daysTo(*picture.firstSale))));
    }
    for (const CohortMonth& month : sales.months) {
        CohortSums& sums = rowOf(month.acceptMonth);
        sums.row.cells[std::size_t(monthsBetween(sales.firstMonth, month.saleMonth))] += month.sales;
        sums.row.sales += month.sales;
    }
    for (auto& [cohort, sums] : rows) {
        sums.row.medianDaysToFirstSale = median(std::move(sums.daysToFirstSale));
        if (cohort.isValid())
            table.rows.push_back(std::move(sums.row));
    }
    if (const auto undated = rows.find(QDate()); undated != rows.end())
        table.rows.push_back(std::move(undated->second.row));
    return table;
}

Cohorts readCohorts(data::Connection& connection, data::Transaction& transaction, const Period& period)
{
    const CohortSales sales = readCohortSales(connection, transaction, period);
    return cohorts(readPictures(connection, transaction, period), sales, period);
}

} // namespace analytics
