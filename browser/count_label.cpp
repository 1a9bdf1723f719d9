#include "browser/count_label.h"

namespace browser {

QString unknownCountText()
{
    return QStringLiteral("?");
}

QString countText(int count)
{
    return QString::number(count);
}

QString partialCountText(int fetchedRows)
{
    return countText(fetchedRows) + QStringLiteral("(?)");
}

QString batchCountText(std::int64_t batchId, int pictures)
{
    return QStringLiteral("партия %1: %2").arg(batchId).arg(pictures);
}

QString withZeroSales(const QString& text, int zeroSalesCount)
{
    return text + QStringLiteral(" + ") + countText(zeroSalesCount);
}

QString scrolledKeywordCountText(const QString& shownText, int fetchedRows, bool atEnd)
{
    if (!atEnd && shownText.contains(QLatin1Char('?')))
        return partialCountText(fetchedRows);
    return countText(fetchedRows);
}

} // namespace browser
