#pragma once

#include <QString>

#include <cstdint>

namespace browser {

// Texts of the count label under the preview.

// While the list is rebuilt, or while its count is not available.
QString unknownCountText();
// N: the count asked from the database.
QString countText(int count);
// N(?): a keyword-filtered list of which N rows have been fetched so far.
QString partialCountText(int fetchedRows);
// "партия N: M": the list shows the M pictures of batch N.
QString batchCountText(std::int64_t batchId, int pictures);
// Any of the texts followed by " + " and the number of pictures without sales.
QString withZeroSales(const QString& text, int zeroSalesCount);

// What the label shows after the current row of a keyword-filtered list has moved: the complete
// count once the list has been read to its end; N(?) while more may follow and the label has not yet
// shown a complete count.
QString scrolledKeywordCountText(const QString& shownText, int fetchedRows, bool atEnd);

} // namespace browser
