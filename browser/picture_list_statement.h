#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>

#include <cstdint>
#include <optional>

#include "browser/sort_marker.h"

namespace browser {

// What the picture list shows: the folder, the period and the filter group's switches and keywords.
struct PictureListFilter
{
    int folderId = 0;
    QDate from;
    QDate till;
    bool onlyNew = false;
    bool showZero = false;
    bool noFolder = false;
    QString keywords;
    // Only the pictures of this upload batch, those without downloads in the period too.
    std::optional<std::int64_t> batchId;
    // The first column, in the grid's order, that carries a sort marker.
    std::optional<ColumnSort> sort;
};

// Whether the keyword box holds more than characters of codes 0 to 32.
bool hasKeywords(const QString& keywords);

// The "containing" and "not containing" conditions of the comma-separated keyword entries, on the
// keywords as a person reads them (HTML character references decoded). An entry that is empty after
// trimming adds nothing; an apostrophe is doubled so that it stays inside the literal.
QByteArray BuildKeywordFilter(const QString& keywords);

// The statement of the picture list over SALES_INFO. Titles and keywords sort by their decoded text.
QByteArray pictureListStatement(const PictureListFilter& filter);

// The number of pictures of the whole database, in PICTURES or not, that have a SALES row in the period.
QByteArray soldPicturesCountStatement(QDate from, QDate till);
// The number of pictures without any SALES row, independent of the period.
QByteArray zeroSalesCountStatement();

} // namespace browser
