#pragma once

#include <QByteArray>
#include <QStringList>

#include <vector>

namespace data {

class Connection;

// A roll-up table's rows and the same figures recounted from SALES, both ordered by the roll-up's key
// (its first keyColumns columns): the two selects give equal rows when the roll-up is exact.
struct RollUpRecount
{
    QByteArray table;
    int keyColumns;
    QByteArray rollUp;
    QByteArray fromSales;
};

// SALES_BY_MONTH, SALES_BY_PICTURE, SALES_BY_DAY and SALES_BY_COHORT.
const std::vector<RollUpRecount>& rollUpRecounts();

// Every row in which a roll-up differs from its recount from SALES, one line each naming the table,
// the key and the differing figures; empty when every roll-up is exact. Read in the connection's
// transaction, started when none runs.
QStringList rollUpDifferences(Connection& connection);

} // namespace data
