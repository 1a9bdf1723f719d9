#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

// The picture entries of a day statistics page, read from its logical lines.
namespace collect {

// The kind of a sale: a day page lists the regular downloads first, then the on-demand ones, then
// the enhanced ones, each group after its section heading.
enum class SaleKind
{
    Regular = 0,
    OnDemand = 1,
    Enhanced = 2,
};

// One picture entry of a day page, every value as the page writes it (trimmed, empty when its
// markers are missing).
struct DayEntry
{
    QByteArray pictureId;
    QByteArray title;
    QByteArray previewAddress;
    QByteArray count;
    QByteArray earnings;
};

// A line containing "thumb_image_container" (ASCII case ignored) opens a picture entry.
bool opensPictureEntry(QByteArrayView line);

// The entry whose marker line is logical[markerLine]; its values stand up to 7 lines further down.
// PageError when the page ends before them.
DayEntry readDayEntry(const QList<QByteArray>& logical, qsizetype markerLine);

// The sale kind that applies after this line: a heading "on demand downloads" moves regular to on
// demand, "enhanced downloads" moves on demand to enhanced (ASCII case ignored); the kind never goes
// back and never skips a step.
SaleKind saleKindAfter(SaleKind kind, QByteArrayView line);

// The line containing "images printed on a backup cd" (ASCII case ignored) ends the sales of the
// page: entries after it are no sales.
bool endsDaySales(QByteArrayView line);

} // namespace collect
