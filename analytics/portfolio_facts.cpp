#include "analytics/portfolio_facts.h"

#include <algorithm>
#include <functional>
#include <map>

#include "data/connection.h"
#include "data/statement.h"
#include "platform/win1251.h"

namespace analytics {

namespace {

using RowHandler = std::function<void(const data::Row&)>;

void forEachRow(data::Connection& connection, data::Transaction& transaction, const QByteArray& sql,
                const std::vector<data::Value>& parameters, const RowHandler& handle)
{
    data::Statement select(connection, transaction.handle(), sql);
    select.open(transaction.handle(), parameters);
    data::Row row;
    while (select.fetch(row))
        handle(row);
}

template <typename T> std::optional<T> present(const data::Value& value, T (data::Value::*as)() const)
{
    return value.isNull() ? std::nullopt : std::optional<T>((value.*as)());
}

Sales salesOf(const data::Value& downloads, const data::Value& earnings)
{
    return {downloads.asInt64(), earnings.asDouble()};
}

QDate lastDayOfMonth(QDate date)
{
    return monthOf(date).addMonths(1).addDays(-1);
}

struct StoredDays
{
    QDate first;
    QDate last;
};

StoredDays storedDays(data::Connection& connection, data::Transaction& transaction)
{
    StoredDays days;
    forEachRow(connection, transaction, "select FIRST_DAY, LAST_DAY from STORED_DAYS", {},
               [&](const data::Row& row) {
                   days = {row[0].asDate(), row[1].asDate()};
               });
    return days;
}

QDate monthOfKey(const data::Value& key)
{
    return key.isNull() ? QDate() : monthOf(key.asDate());
}

// Money as the roll-ups sum it: each amount as MONEY_TOTAL, an empty one as 0.
const QByteArray DayEarnings =
    "CAST(COALESCE(S.\"SUM\", 0) AS MONEY_TOTAL) + CAST(COALESCE(S.ON_DEMAND, 0) AS "
    "MONEY_TOTAL) + CAST(COALESCE(S.ENHANCED, 0) AS MONEY_TOTAL)";

// Whole months come from their roll-up by acceptance month, a row per acceptance month and month.
const QByteArray CohortMonthsSelect =
    "select C.ACCEPT_MONTH, C.MONTH_START, C.COUNT_SALES, C.SUM_SALES + C.SUM_ON_DEMAND + C.SUM_ENHANCED "
    "from SALES_BY_COHORT C where C.MONTH_START >= ? and C.MONTH_START < ?";

// The roll-up's acceptance month of the pictures without an acceptance date (see COHORT_OF).
const QDate UndatedCohort(9999, 12, 31);

QDate cohortOfRollUp(const data::Value& acceptMonth)
{
    return acceptMonth.asDate() == UndatedCohort ? QDate() : acceptMonth.asDate();
}

// Pictures drive the joins, so that each picture's rows are read through its index range. Grouped by the
// acceptance day, which the engine sorts faster than a month computed for every row; the days are taken
// to their months here.
const QByteArray CohortDaysSelect = "select P.ACCEPT_DATE, SUM(COALESCE(S.\"COUNT\", 0)), SUM(" +
                                    DayEarnings +
                                    ") "
                                    "from PICTURES P join SALES S on S.IDPICTURE = P.ID "
                                    "where S.SALE_DATE between ? and ? group by 1 "
                                    "PLAN SORT (JOIN (P NATURAL, S INDEX (SALES_PICTURE_DATE)))";

// Per picture in id order, its index range read without a sort.
const QByteArray PictureMonthsSelect =
    "select M.IDPICTURE, SUM(M.COUNT_SALES), SUM(M.SUM_SALES + M.SUM_ON_DEMAND + M.SUM_ENHANCED) "
    "from SALES_BY_MONTH M where M.MONTH_START >= ? and M.MONTH_START < ? group by M.IDPICTURE "
    "PLAN (M ORDER PK_SALES_BY_MONTH)";
const QByteArray PictureDaysSelect = "select S.IDPICTURE, SUM(COALESCE(S.\"COUNT\", 0)), SUM(" + DayEarnings +
                                     ") "
                                     "from SALES_BY_PICTURE T join SALES S on S.IDPICTURE = T.IDPICTURE "
                                     "where S.SALE_DATE between ? and ? group by S.IDPICTURE "
                                     "PLAN SORT (JOIN (T NATURAL, S INDEX (SALES_PICTURE_DATE)))";

// The period cut into what the roll-ups give whole and the days of the months it cuts, each of
// those within one month.
struct PeriodPieces
{
    QDate firstMonth, lastMonth;
    // Whole months from wholeFrom up to, not including, wholeTill; none when they are equal.
    QDate wholeFrom, wholeTill;
    std::vector<std::pair<QDate, QDate>> dayRanges;
};

PeriodPieces periodPieces(const Period& period, const StoredDays& stored)
{
    PeriodPieces pieces;
    if (!stored.first.isValid() || period.till < stored.first || period.from > stored.last)
        return pieces;
    pieces.firstMonth = monthOf(std::max(period.from, stored.first));
    pieces.lastMonth = monthOf(std::min(period.till, stored.last));
    const QDate from = period.from <= stored.first ? monthOf(stored.first) : period.from;
    const QDate till = period.till >= stored.last ? lastDayOfMonth(stored.last) : period.till;
    const QDate wholeFrom = monthOf(from) == from ? from : monthOf(from).addMonths(1);
    const QDate wholeTill = monthOf(till.addDays(1));
    if (wholeFrom < wholeTill) {
        pieces.wholeFrom = wholeFrom;
        pieces.wholeTill = wholeTill;
        if (from < wholeFrom)
            pieces.dayRanges.emplace_back(from, wholeFrom.addDays(-1));
        if (wholeTill <= till)
            pieces.dayRanges.emplace_back(wholeTill, till);
        return pieces;
    }
    pieces.dayRanges.emplace_back(from, std::min(till, lastDayOfMonth(from)));
    if (monthOf(till) != monthOf(from))
        pieces.dayRanges.emplace_back(monthOf(till), till);
    return pieces;
}

bool coversStoredDays(const Period& period, const StoredDays& stored)
{
    return period.from <= stored.first && period.till >= stored.last;
}

// A picture's sales in a period.
struct PictureSales
{
    std::int64_t pictureId = 0;
    Sales sales;
};

// Each picture's sales in the pieces of a period, pictures in PICTURES or not, ordered by picture id.
std::vector<PictureSales> periodSalesByPicture(data::Connection& connection, data::Transaction& transaction,
                                               const PeriodPieces& pieces)
{
    std::vector<PictureSales> pictures;
    const auto add = [&](const data::Row& row) {
        pictures.push_back({row[0].asInt64(), salesOf(row[1], row[2])});
    };
    if (pieces.wholeFrom.isValid())
        forEachRow(connection, transaction, PictureMonthsSelect,
                   {data::Value::date(pieces.wholeFrom), data::Value::date(pieces.wholeTill)}, add);
    for (const auto& [from, till] : pieces.dayRanges)
        forEachRow(connection, transaction, PictureDaysSelect,
                   {data::Value::date(from), data::Value::date(till)}, add);
    // The pieces of a picture lie apart: brought together and added up.
    std::stable_sort(pictures.begin(), pictures.end(),
                     [](const PictureSales& a, const PictureSales& b) { return a.pictureId < b.pictureId; });
    std::vector<PictureSales> summed;
    for (const PictureSales& piece : pictures) {
        if (summed.empty() || summed.back().pictureId != piece.pictureId)
            summed.push_back({piece.pictureId, {}});
        summed.back().sales += piece.sales;
    }
    return summed;
}

// Gives the pictures, ordered by id, their sales among the summed ones, ordered by picture id.
void addPeriodSales(std::vector<PictureFacts>& pictures, const std::vector<PictureSales>& sales)
{
    auto sold = sales.begin();
    for (PictureFacts& picture : pictures) {
        while (sold != sales.end() && sold->pictureId < picture.id)
            ++sold;
        if (sold != sales.end() && sold->pictureId == picture.id)
            picture.sales = sold->sales;
    }
}

} // namespace

void checkPeriod(const Period& period)
{
    if (!period.from.isValid() || !period.till.isValid())
        throw PeriodError("Период задан не полностью: нужны обе даты");
    if (period.till < period.from)
        throw PeriodError(QStringLiteral("Конец периода (%1) раньше его начала (%2)")
                              .arg(period.till.toString(QStringLiteral("dd.MM.yyyy")),
                                   period.from.toString(QStringLiteral("dd.MM.yyyy")))
                              .toStdString());
}

QDate monthOf(QDate date)
{
    return QDate(date.year(), date.month(), 1);
}

int monthsBetween(QDate from, QDate to)
{
    return (to.year() - from.year()) * 12 + to.month() - from.month();
}

std::vector<FolderFacts> readFolders(data::Connection& connection, data::Transaction& transaction)
{
    struct Folder
    {
        std::optional<int> parent;
        QString title;
    };
    std::map<int, Folder> folders;
    forEachRow(connection, transaction, "select F.ID, F.IDPARENT, F.TITLE from FOLDERS F where F.ID <> -1",
               {}, [&](const data::Row& row) {
                   folders[row[0].asInt32()] = {present(row[1], &data::Value::asInt32),
                                                platform::fromWin1251(row[2].asText())};
               });
    std::vector<FolderFacts> paths;
    for (const auto& [id, folder] : folders) {
        QString path = folder.title;
        // A broken chain of parents ends the path instead of looping.
        std::optional<int> parent = folder.parent;
        for (std::size_t depth = 0; parent && folders.contains(*parent) && depth < folders.size(); ++depth) {
            path = folders[*parent].title + QStringLiteral(" / ") + path;
            parent = folders[*parent].parent;
        }
        paths.push_back({id, path});
    }
    std::sort(paths.begin(), paths.end(), [](const FolderFacts& a, const FolderFacts& b) {
        return QString::localeAwareCompare(a.path, b.path) < 0;
    });
    return paths;
}

CohortSales readCohortSales(data::Connection& connection, data::Transaction& transaction,
                            const Period& period)
{
    checkPeriod(period);
    const PeriodPieces pieces = periodPieces(period, storedDays(connection, transaction));
    CohortSales sales{pieces.firstMonth, pieces.lastMonth, {}};
    if (pieces.wholeFrom.isValid())
        forEachRow(connection, transaction, CohortMonthsSelect,
                   {data::Value::date(pieces.wholeFrom), data::Value::date(pieces.wholeTill)},
                   [&](const data::Row& row) {
                       sales.months.push_back(
                           {cohortOfRollUp(row[0]), row[1].asDate(), salesOf(row[2], row[3])});
                   });
    for (const auto& [from, till] : pieces.dayRanges)
        forEachRow(connection, transaction, CohortDaysSelect,
                   {data::Value::date(from), data::Value::date(till)}, [&](const data::Row& row) {
                       sales.months.push_back({monthOfKey(row[0]), monthOf(from), salesOf(row[1], row[2])});
                   });
    return sales;
}

std::vector<PictureFacts> readPictures(data::Connection& connection, data::Transaction& transaction,
                                       const Period& period, WithKeywords withKeywords)
{
    checkPeriod(period);
    const StoredDays stored = storedDays(connection, transaction);
    const bool everyStoredDay = coversStoredDays(period, stored);
    // Both tables read through in one pass: ordered by id, the engine would read the pictures through
    // their index, a lookup each.
    const QByteArray select =
        "select P.ID, P.ACCEPT_DATE, P.IDBATCH, P.IDFOLDER, T.FIRST_SALE, T.COUNT_SALES, "
        "T.SUM_SALES + T.SUM_ON_DEMAND + T.SUM_ENHANCED, " +
        QByteArray(withKeywords == WithKeywords::Yes ? "P.KEYWORDS" : "''") +
        " from PICTURES P left join SALES_BY_PICTURE T on T.IDPICTURE = P.ID";
    std::vector<PictureFacts> pictures;
    forEachRow(connection, transaction, select, {}, [&](const data::Row& row) {
        PictureFacts& picture = pictures.emplace_back();
        picture.id = row[0].asInt64();
        picture.accepted = present(row[1], &data::Value::asDate);
        picture.batchId = present(row[2], &data::Value::asInt64);
        picture.folderId = present(row[3], &data::Value::asInt32);
        picture.firstSale = present(row[4], &data::Value::asDate);
        if (everyStoredDay && !row[5].isNull())
            picture.sales = salesOf(row[5], row[6]);
        picture.keywords = row[7].asText();
    });
    std::sort(pictures.begin(), pictures.end(),
              [](const PictureFacts& a, const PictureFacts& b) { return a.id < b.id; });
    if (!everyStoredDay)
        addPeriodSales(pictures, periodSalesByPicture(connection, transaction, periodPieces(period, stored)));
    return pictures;
}

std::map<QDate, int> readAcceptedPictures(data::Connection& connection, data::Transaction& transaction,
                                          QDate till)
{
    std::map<QDate, int> months;
    // Grouped by the day, which the engine sorts faster than a month computed for every row.
    forEachRow(connection, transaction,
               "select P.ACCEPT_DATE, count(*) from PICTURES P where P.ACCEPT_DATE <= ? group by 1",
               {data::Value::date(till)}, [&](const data::Row& row) {
                   months[monthOf(row[0].asDate())] += row[1].asInt32();
               });
    return months;
}

std::vector<DaySales> readDaySales(data::Connection& connection, data::Transaction& transaction)
{
    std::vector<DaySales> days;
    forEachRow(connection, transaction,
               "select D.SALE_DATE, D.COUNT_SALES, D.SUM_SALES, D.SUM_ON_DEMAND + D.SUM_ENHANCED "
               "from SALES_BY_DAY D order by D.SALE_DATE",
               {}, [&](const data::Row& row) {
                   days.push_back({row[0].asDate(), row[1].asInt64(), row[2].asDouble(), row[3].asDouble()});
               });
    return days;
}

} // namespace analytics
