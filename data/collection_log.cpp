#include "data/collection_log.h"

#include <QString>

#include "data/connection.h"
#include "data/dataset.h"
#include "data/sql_text.h"
#include "data/table.h"
#include "data/value.h"
#include "platform/win1251.h"

namespace data {

namespace {

constexpr int MessageCapacity = 1000;

const char* outcomeText(DayReadEnd end)
{
    switch (end) {
    case DayReadEnd::Stored:
        return "STORED";
    case DayReadEnd::Failed:
        return "FAILED";
    case DayReadEnd::LoginPage:
        return "LOGIN";
    }
    return "FAILED";
}

DayReadEnd outcomeOf(const QByteArray& text)
{
    if (text == "STORED")
        return DayReadEnd::Stored;
    return text == "LOGIN" ? DayReadEnd::LoginPage : DayReadEnd::Failed;
}

QDate isoDate(const QByteArray& text)
{
    return QDate::fromString(QString::fromLatin1(text), QStringLiteral("yyyy-MM-dd"));
}

QDateTime timestampOf(const Value& value)
{
    return QDateTime::fromString(QString::fromLatin1(value.asText().left(19)),
                                 QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

std::int64_t nextLogId(Query& query)
{
    query.setText("select gen_id(GEN_COLLECTION_LOG_ID, 1) from RDB$DATABASE");
    query.open();
    const std::int64_t id = query.field(0).asInt64();
    query.close();
    return id;
}

void execute(Query& query, const QByteArray& statement)
{
    query.setText(statement);
    query.execute();
}

} // namespace

void DayTally::add(const QByteArray& count, const QByteArray& money)
{
    ++entries;
    downloads += parseWholeNumber(count);
    earnings += parseDecimalComma(moneyToField(money));
}

void CollectionLog::recordMonthPage(const QByteArray& month, const QList<QByteArray>& listedDays)
{
    const QDate monthStart = isoDate(month + "-01");
    if (!monthStart.isValid())
        throw DbError("Месяц \"" + month.left(40).toStdString() + "\" не читается");
    Query query(connection_, connection_.defaultTransaction());
    const QByteArray id = QByteArray::number(qlonglong(nextLogId(query)));
    execute(query, "insert into MONTH_PAGE_READS (ID, MONTH_START, READ_AT) values (" + id + ", '" +
                       formatDate(monthStart) + "', LOCALTIMESTAMP)");
    QSet<QDate> recorded;
    for (const QByteArray& day : listedDays) {
        const QDate date = isoDate(day);
        if (!date.isValid() || date.month() != monthStart.month() || date.year() != monthStart.year() ||
            recorded.contains(date))
            continue;
        recorded.insert(date);
        execute(query, "insert into LISTED_DAYS (IDREAD, SALE_DATE) values (" + id + ", '" +
                           formatDate(date) + "')");
    }
}

void CollectionLog::recordDayPage(const QByteArray& day, const DayTally& tally, DayReadEnd end,
                                  const QByteArray& message)
{
    const QDate date = isoDate(day);
    if (!date.isValid())
        throw DbError("Дата продажи \"" + day.left(40).toStdString() + "\" не читается");
    Query query(connection_, connection_.defaultTransaction());
    const QByteArray id = QByteArray::number(qlonglong(nextLogId(query)));
    const QByteArray messageLiteral =
        message.isEmpty() ? QByteArray("null") : "'" + doubledQuotes(message.left(MessageCapacity)) + "'";
    execute(query,
            "insert into DAY_PAGE_READS (ID, SALE_DATE, READ_AT, ENTRIES, DOWNLOADS, EARNINGS, OUTCOME, "
            "MESSAGE) values (" +
                id + ", '" + formatDate(date) + "', LOCALTIMESTAMP, " + QByteArray::number(tally.entries) +
                ", " + QByteArray::number(qlonglong(tally.downloads)) + ", " +
                QByteArray::number(tally.earnings, 'f', 4) + ", '" + outcomeText(end) + "', " +
                messageLiteral + ")");
}

CollectionRecord readCollectionRecord(Connection& connection)
{
    CollectionRecord record;
    Query query(connection, connection.defaultTransaction());
    query.setText("select R.SALE_DATE, cast(R.READ_AT as varchar(24)), R.OUTCOME, R.ENTRIES, R.DOWNLOADS, "
                  "R.EARNINGS, R.MESSAGE from DAY_PAGE_READS R "
                  "where R.ID = (select max(S.ID) from DAY_PAGE_READS S where S.SALE_DATE = R.SALE_DATE)");
    for (query.open(); !query.eof(); query.next()) {
        record.lastDayReads[query.field(0).asDate()] =
            DayRead{timestampOf(query.field(1)), outcomeOf(query.field(2).asText()), query.field(3).asInt32(),
                    query.field(4).asInt64(),    query.field(5).asDouble(),          query.field(6).asText()};
    }
    // The listed days of each month's last read, or the read alone when it listed none.
    query.setText(
        "select M.MONTH_START, cast(M.READ_AT as varchar(24)), L.SALE_DATE from MONTH_PAGE_READS M "
        "left join LISTED_DAYS L on L.IDREAD = M.ID "
        "where M.ID = (select max(N.ID) from MONTH_PAGE_READS N where N.MONTH_START = M.MONTH_START)");
    for (query.open(); !query.eof(); query.next()) {
        MonthRead& month = record.lastMonthReads[query.field(0).asDate()];
        month.readAt = timestampOf(query.field(1));
        if (!query.field(2).isNull())
            month.listedDays.insert(query.field(2).asDate());
    }
    query.setText("select SALE_DATE from SALES_BY_DAY");
    for (query.open(); !query.eof(); query.next())
        record.storedDays.insert(query.field(0).asDate());
    query.close();
    return record;
}

} // namespace data
