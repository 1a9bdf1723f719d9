#include "collect/day_page.h"

#include "collect/page_lines.h"
#include "collect/page_text.h"
#include "platform/ascii_text.h"

namespace collect {

namespace {

// Line distances of the values from the entry's marker line.
constexpr qsizetype LinkLine = 1;
constexpr qsizetype ImageLine = 2;
constexpr qsizetype CountLine = 6;
constexpr qsizetype EarningsLine = 7;

} // namespace

bool opensPictureEntry(QByteArrayView line)
{
    return platform::containsIgnoreAsciiCase(line, "thumb_image_container");
}

DayEntry readDayEntry(const QList<QByteArray>& logical, qsizetype markerLine)
{
    const QByteArray& image = lineAt(logical, markerLine + ImageLine);
    const QByteArray link = ExtractBetween(lineAt(logical, markerLine + LinkLine), "href=\"", "\"");
    DayEntry entry;
    entry.title = ExtractBetween(image, "alt=\"stock photo :", "\"");
    entry.previewAddress = ExtractBetween(image, "src=\"", "\"");
    entry.pictureId = ExtractBetween(link, "id=", {});
    entry.count = ExtractBetween(lineAt(logical, markerLine + CountLine), ">", "<");
    entry.earnings = ExtractBetween(lineAt(logical, markerLine + EarningsLine), ">$", "<");
    return entry;
}

SaleKind saleKindAfter(SaleKind kind, QByteArrayView line)
{
    if (kind == SaleKind::Regular && platform::containsIgnoreAsciiCase(line, "on demand downloads"))
        return SaleKind::OnDemand;
    if (kind == SaleKind::OnDemand && platform::containsIgnoreAsciiCase(line, "enhanced downloads"))
        return SaleKind::Enhanced;
    return kind;
}

bool endsDaySales(QByteArrayView line)
{
    return platform::containsIgnoreAsciiCase(line, "images printed on a backup cd");
}

} // namespace collect
