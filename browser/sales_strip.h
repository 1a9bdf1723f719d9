#pragma once

#include <QDate>
#include <QHash>
#include <QImage>
#include <QString>
#include <QtGlobal>

#include <optional>
#include <vector>

#include "platform/canvas.h"

namespace browser {

// The days of one picture that the daily sales strip shows: from its first sale on, one per column,
// with the downloads of those that have any.
struct StripDays
{
    struct Sale
    {
        qint64 day = 0; // counted from the first column, 0
        qint64 downloads = 0;
    };

    QDate firstDate;
    qint64 dayCount = 0;
    std::vector<Sale> sales; // in day order
};

// The strip's days from a DIAGRAM text, dated from the picture's first sale (an invalid date stands
// for the zero date, 30.12.1899). The leading gap is dropped whatever its text; any other token that
// is no whole number is an error (std::runtime_error).
StripDays readStripDays(const QString& diagramText, QDate firstSale);

// The label written where a month begins, naming the month of this date in its nominative form and
// its year: "Март.2009".
QString stripMonthLabel(QDate date);

// The daily sales strip as a surface of day columns, 8 pixels each after a left margin of 20: the weekday
// letter and odd day numbers on top, weekends and alternate months shaded, the month name at each
// month change, a red bar per day scaled to the best day, and the guide lines for 1, the best day and
// half of it.
//
// The surface is at least 10,000 pixels wide and as wide as the scroll range when that is wider, so
// that every day of a long period can be reached; it is painted one window at a time, the part that
// the scroll box shows, so memory does not grow with the period.
class SalesStrip
{
public:
    static constexpr int ImageWidth = 10000;
    static constexpr int LeftMargin = 20;
    static constexpr int ColumnWidth = 8;
    // Room left for the weekday letters and day numbers above the tallest bar.
    static constexpr int TopRoom = 25;
    // The scroll range is held here: a gap of billions of days stays scrollable, in int, and the
    // columns beyond it are never drawn.
    static constexpr int RangeLimit = 1'000'000'000;

    // Shows these days with the best day's downloads (MAX_DLS; below 1 counts as 1).
    void showDays(StripDays days, qint64 bestDay);
    // Shows a white strip without guide lines.
    void showBlank();

    // Whether days are shown (a blank strip has none).
    bool hasDays() const { return drawing_.has_value(); }
    // The scroll range the days need: 8 pixels a day and 30 of margins, at most RangeLimit.
    int scrollRange() const;
    qint64 surfaceWidth() const;

    // Paints the window of the surface that begins at the surface's x = left over the whole image; the
    // image's height is the strip's height. The pixels are those of the whole surface painted in one go.
    void paint(QImage& image, qint64 left);

    // Pen, brush and font as the last painting left them; the next drawing starts with them.
    platform::CanvasTools& tools() { return tools_; }

private:
    struct Drawing
    {
        StripDays days;
        qint64 bestDay = 0;
        // The tools as the drawing found them: every painting of a window starts from them again.
        platform::CanvasTools toolsAtStart;
    };
    class Painter;

    std::optional<Drawing> drawing_;
    platform::CanvasTools tools_;
    // The texts written so far, each as the pixels its writing leaves (its box in the brush colour
    // with the text over it), by font, colours and text: copying them is much cheaper than laying
    // the same few letters and numbers out again in every column.
    QHash<QString, QImage> textStamps_;
};

} // namespace browser
