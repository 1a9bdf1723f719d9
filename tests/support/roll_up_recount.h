#pragma once

#include <QByteArray>

#include <vector>

namespace test_support {

// A roll-up table's rows and the same figures recounted from SALES, in the same order: the two
// selects must give equal rows.
struct RollUpRecount
{
    QByteArray rollUp;
    QByteArray fromSales;
};

// SALES_BY_MONTH, SALES_BY_PICTURE and SALES_BY_DAY.
const std::vector<RollUpRecount>& rollUpRecounts();

} // namespace test_support
