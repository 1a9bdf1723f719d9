#include "browser/picture_list_statement.h"

#include "data/sql_text.h"
#include "data/value.h"
#include "platform/win1251.h"

namespace browser {

namespace {

bool isBlankOrControl(char c)
{
    return static_cast<unsigned char>(c) <= 32;
}

QByteArray trimmedBytes(const QByteArray& text)
{
    qsizetype begin = 0, end = text.size();
    while (begin < end && isBlankOrControl(text[begin]))
        ++begin;
    while (end > begin && isBlankOrControl(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

// The keyword box with the characters of codes 0 to 32 removed at both ends, as Windows-1251 bytes.
QByteArray trimmedKeywords(const QString& keywords)
{
    return trimmedBytes(platform::toWin1251(keywords));
}

// Titles and keywords hold HTML character references; they are searched and sorted by the text a
// person reads, so that a typed "&" or Cyrillic letter finds "&amp;" or "&#1058;", and "amp" does not.
QByteArray readableField(const QByteArray& fieldName)
{
    if (fieldName == "TITLE" || fieldName == "KEYWORDS")
        return "DECODE_HTML(" + fieldName + ")";
    return fieldName;
}

QByteArray keywordCondition(const QByteArray& entry)
{
    const QByteArray keywords = readableField("KEYWORDS");
    if (entry.startsWith('-'))
        return " and " + keywords + " not containing '" + data::doubledQuotes(entry.mid(1)) + "' ";
    return " and " + keywords + " containing '" + data::doubledQuotes(entry) + "' ";
}

QByteArray sortClause(const std::optional<ColumnSort>& sort)
{
    if (!sort || sort->marker == SortMarker::None)
        return " order by COUNT_SALES desc";
    if (sort->marker == SortMarker::Descending)
        return " order by " + readableField(sort->fieldName) + " desc";
    return " order by " + readableField(sort->fieldName);
}

} // namespace

bool hasKeywords(const QString& keywords)
{
    return !trimmedKeywords(keywords).isEmpty();
}

QByteArray BuildKeywordFilter(const QString& keywords)
{
    QByteArray conditions;
    QList<QByteArray> entries = trimmedKeywords(keywords).split(',');
    if (!entries.isEmpty() && entries.last().isEmpty())
        entries.removeLast();
    for (const QByteArray& rawEntry : entries) {
        const QByteArray entry = trimmedBytes(rawEntry);
        if (!entry.isEmpty())
            conditions += keywordCondition(entry);
    }
    return conditions;
}

QByteArray pictureListStatement(const PictureListFilter& filter)
{
    const QByteArray from = data::formatDate(filter.from);
    const QByteArray till = data::formatDate(filter.till);
    QByteArray sql = " select IDPICTURE, IDFOLDER, IDBATCH, \"TYPE\", TITLE, KEYWORDS, IMAGE, COUNT_SALES, "
                     "SUM_SALES, SUM_ON_DEMAND, SUM_ON_ENHANCED, EFFICACY, EFFICACY2, MAX_DLS, ACCEPT_DATE, "
                     "FIRST_SALE, LAST_SALE  from SALES_INFO(" +
                     QByteArray::number(filter.folderId) + ", '" + from + "', '" + till + "')" + " where 1 = 1";
    if (filter.onlyNew)
        sql += " and ACCEPT_DATE >= '" + from + "' and ACCEPT_DATE <= '" + till + "' ";
    if (!filter.showZero && !filter.batchId)
        sql += " and COUNT_SALES <> 0";
    if (filter.batchId)
        sql += " and IDBATCH = " + QByteArray::number(qlonglong(*filter.batchId));
    if (filter.noFolder && filter.folderId == -1)
        sql += " and IDFOLDER IS NULL ";
    if (hasKeywords(filter.keywords))
        sql += BuildKeywordFilter(filter.keywords);
    return sql + sortClause(filter.sort);
}

// Counted by a procedure over the roll-ups, so that a long period costs no more than a short one.
QByteArray soldPicturesCountStatement(QDate from, QDate till)
{
    return "select PICTURES_SOLD from SOLD_PICTURES('" + data::formatDate(from) + "', '" + data::formatDate(till) +
           "')";
}

// Each picture is counted once, by one look into the per-picture roll-up, instead of joining every
// SALES row.
QByteArray zeroSalesCountStatement()
{
    return "select PICTURES_UNSOLD from UNSOLD_PICTURES";
}

} // namespace browser
