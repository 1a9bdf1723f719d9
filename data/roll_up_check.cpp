#include "data/roll_up_check.h"

#include "data/connection.h"
#include "data/statement.h"

namespace data {

namespace {

// One side of the comparison: an open select read a row at a time.
class RowStream
{
public:
    RowStream(Connection& connection, Firebird::ITransaction* transaction, const QByteArray& sql)
        : statement_(connection, transaction, sql)
    {
        statement_.open(transaction);
        next();
    }
    ~RowStream() { statement_.closeCursor(); }
    RowStream(const RowStream&) = delete;
    RowStream& operator=(const RowStream&) = delete;

    bool atEnd() const { return atEnd_; }
    const Row& row() const { return row_; }
    const std::vector<Column>& columns() const { return statement_.columns(); }
    void next() { atEnd_ = !statement_.fetch(row_); }

private:
    Statement statement_;
    Row row_;
    bool atEnd_ = false;
};

// Keys are whole numbers and dates, never null.
int compareKeys(const Row& a, const Row& b, int keyColumns)
{
    for (int i = 0; i < keyColumns; ++i) {
        const auto cmp = a[i].asDate().isValid() ? a[i].asDate().toJulianDay() <=> b[i].asDate().toJulianDay()
                                                 : a[i].asInt64() <=> b[i].asInt64();
        if (cmp != 0)
            return cmp < 0 ? -1 : 1;
    }
    return 0;
}

QString shown(const Value& value)
{
    return value.isNull() ? QStringLiteral("пусто") : QString::fromUtf8(value.asText());
}

QString named(const std::vector<Column>& columns, const Row& row, int from, int to)
{
    QStringList parts;
    for (int i = from; i < to; ++i)
        parts.append(QString::fromStdString(columns[i].name) + QLatin1Char(' ') + shown(row[i]));
    return parts.join(QStringLiteral(", "));
}

QString differingFigures(const std::vector<Column>& columns, const Row& rollUp, const Row& recount,
                         int keyColumns)
{
    QStringList parts;
    for (std::size_t i = keyColumns; i < columns.size(); ++i)
        if (!(rollUp[i] == recount[i]))
            parts.append(
                QStringLiteral("%1 %2, по SALES %3")
                    .arg(QString::fromStdString(columns[i].name), shown(rollUp[i]), shown(recount[i])));
    return parts.join(QStringLiteral("; "));
}

void compare(Connection& connection, const RollUpRecount& recount, QStringList& differences)
{
    Firebird::ITransaction* transaction = connection.defaultTransaction().handle();
    RowStream stored(connection, transaction, recount.rollUp);
    RowStream counted(connection, transaction, recount.fromSales);
    const std::vector<Column>& columns = stored.columns();
    const int keys = recount.keyColumns;
    const int width = static_cast<int>(columns.size());
    const QString table = QString::fromLatin1(recount.table);
    while (!stored.atEnd() || !counted.atEnd()) {
        const int order = stored.atEnd()    ? 1
                          : counted.atEnd() ? -1
                                            : compareKeys(stored.row(), counted.row(), keys);
        if (order < 0) {
            differences.append(QStringLiteral("%1, %2: лишняя строка, по SALES её нет (%3)")
                                   .arg(table, named(columns, stored.row(), 0, keys),
                                        named(columns, stored.row(), keys, width)));
            stored.next();
        } else if (order > 0) {
            differences.append(QStringLiteral("%1, %2: строки нет, по SALES %3")
                                   .arg(table, named(columns, counted.row(), 0, keys),
                                        named(columns, counted.row(), keys, width)));
            counted.next();
        } else {
            if (const QString figures = differingFigures(columns, stored.row(), counted.row(), keys);
                !figures.isEmpty())
                differences.append(
                    QStringLiteral("%1, %2: %3").arg(table, named(columns, stored.row(), 0, keys), figures));
            stored.next();
            counted.next();
        }
    }
}

} // namespace

const std::vector<RollUpRecount>& rollUpRecounts()
{
    static const QByteArray totals =
        "sum(coalesce(\"COUNT\", 0)), sum(cast(coalesce(\"SUM\", 0) as MONEY_TOTAL)),"
        " sum(cast(coalesce(ON_DEMAND, 0) as MONEY_TOTAL)),"
        " sum(cast(coalesce(ENHANCED, 0) as MONEY_TOTAL))";
    static const QByteArray saleDays = "max(iif(\"COUNT\" > 0, \"COUNT\", null)),"
                                       " min(iif(\"COUNT\" > 0, SALE_DATE, null)),"
                                       " max(iif(\"COUNT\" > 0, SALE_DATE, null))";
    static const std::vector<RollUpRecount> recounts = {
        {"SALES_BY_MONTH", 2,
         "select IDPICTURE, MONTH_START, COUNT_SALES, SUM_SALES, SUM_ON_DEMAND, SUM_ENHANCED, MAX_DLS, "
         "FIRST_SALE,"
         " LAST_SALE from SALES_BY_MONTH order by 1, 2",
         QByteArray("select IDPICTURE, dateadd(1 - extract(day from SALE_DATE) day to SALE_DATE), ") +
             totals + ", " + saleDays + " from SALES group by 1, 2 order by 1, 2"},
        {"SALES_BY_PICTURE", 1,
         "select IDPICTURE, COUNT_SALES, SUM_SALES, SUM_ON_DEMAND, SUM_ENHANCED, MAX_DLS, FIRST_SALE, "
         "LAST_SALE"
         " from SALES_BY_PICTURE order by 1",
         QByteArray("select IDPICTURE, ") + totals + ", " + saleDays + " from SALES group by 1 order by 1"},
        {"SALES_BY_DAY", 1,
         "select SALE_DATE, SALES_ROWS, COUNT_SALES, SUM_SALES, SUM_ON_DEMAND, SUM_ENHANCED from SALES_BY_DAY"
         " order by 1",
         QByteArray("select SALE_DATE, count(*), ") + totals + " from SALES group by 1 order by 1"},
        {"SALES_BY_COHORT", 2,
         "select ACCEPT_MONTH, MONTH_START, PICTURE_MONTHS, COUNT_SALES, SUM_SALES, SUM_ON_DEMAND, SUM_ENHANCED"
         " from SALES_BY_COHORT order by 1, 2",
         QByteArray("select coalesce(dateadd(1 - extract(day from ACCEPT_DATE) day to ACCEPT_DATE),"
                    " date '9999-12-31'), dateadd(1 - extract(day from SALE_DATE) day to SALE_DATE),"
                    " count(distinct IDPICTURE), ") +
             totals + " from SALES join PICTURES on PICTURES.ID = SALES.IDPICTURE group by 1, 2 order by 1, 2"},
    };
    return recounts;
}

QStringList rollUpDifferences(Connection& connection)
{
    QStringList differences;
    for (const RollUpRecount& recount : rollUpRecounts())
        compare(connection, recount, differences);
    return differences;
}

} // namespace data
