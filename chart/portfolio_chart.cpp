#include "chart/portfolio_chart.h"

#include <QFont>

#include <algorithm>

#include "platform/canvas.h"
#include "platform/day_bands.h"

namespace chart {

namespace {

// A month label is written this far left of the band of the month's first day, this far above the
// bottom edge.
constexpr int LabelLeft = 35;
constexpr int LabelAboveBottom = 15;
// How far right of its band's left edge a day's drawing may reach: its month label begins LabelLeft
// pixels to the left and is far narrower than this in its font.
constexpr int DayReachRight = 300;
// Widths beyond this hold no window; the ranges stop growing there.
constexpr qint64 LargestExtent = 1'000'000'000;

const QColor LabelGrey(128, 128, 128);

// The day before the first row: the zero date of the date system, the 30th of its month.
const QDate DayBeforeFirst(1899, 12, 30);

QFont monthLabelFont()
{
    return QFont(QStringLiteral("MS Sans Serif"), 8);
}

int lifted(double value, double pixelsPerUnit, int offset, int surfaceHeight)
{
    return platform::nearestInt(surfaceHeight - pixelsPerUnit * value - offset);
}

// Draws the days first..last of the surface onto the canvas, whose device shows the surface from
// origin on.
class ChartPainter
{
public:
    ChartPainter(platform::Canvas& canvas, const ChartLook& look, int surfaceHeight, QPoint origin)
        : canvas_(canvas), look_(look), height_(surfaceHeight), origin_(origin)
    {
    }

    void drawDays(const std::vector<ChartDay>& days, qsizetype first, qsizetype last)
    {
        SeriesPoints previous;
        QDate previousDate = DayBeforeFirst;
        if (first > 0) {
            previous = seriesPoints(days[std::size_t(first - 1)], look_, height_);
            previousDate = days[std::size_t(first - 1)].date;
        }
        for (qsizetype i = first; i <= last; ++i) {
            const ChartDay& day = days[std::size_t(i)];
            const int x = int(i * DayWidth);
            drawBand(x, day.date);
            const SeriesPoints points = seriesPoints(day, look_, height_);
            drawSegment(x, previous.downloads, points.downloads, look_.downloads.color);
            drawSegment(x, previous.enhanced, points.enhanced, look_.enhanced.color);
            drawSegment(x, previous.total, points.total, look_.sales.color);
            drawSegment(x, previous.regular, points.regular, look_.sales.color);
            drawSegment(x, previous.onDemand, points.onDemand, look_.onDemand.color);
            if (day.date.day() < previousDate.day())
                writeMonthLabel(x, day.date);
            previous = points;
            previousDate = day.date;
        }
    }

private:
    int deviceX(int x) const { return x - origin_.x(); }
    int deviceY(int y) const { return y - origin_.y(); }

    void drawBand(int x, QDate day)
    {
        canvas_.setBrushColor(platform::dayBandColor(day));
        canvas_.fillRect(deviceX(x), deviceY(1), deviceX(x + DayWidth), deviceY(height_ - 2));
    }

    // The line from the previous day's point to this day's, without its end point.
    void drawSegment(int x, int previousY, int y, const QColor& color)
    {
        canvas_.moveTo(deviceX(x - DayWidth), deviceY(previousY));
        canvas_.setPenColor(color);
        canvas_.lineTo(deviceX(x), deviceY(y));
    }

    // The month that ends where the day's month begins, as "mm.yy", on its weekday band colour.
    void writeMonthLabel(int x, QDate day)
    {
        const QDate ended = QDate(day.year(), day.month(), 1).addMonths(-1);
        canvas_.setFont(monthLabelFont());
        canvas_.setFontColor(LabelGrey);
        canvas_.setBrushColor(platform::monthBandColor(ended.month()));
        canvas_.textOut(deviceX(x - LabelLeft), deviceY(height_ - LabelAboveBottom),
                        ended.toString(QStringLiteral("MM.yy")));
    }

    platform::Canvas& canvas_;
    const ChartLook& look_;
    const int height_;
    const QPoint origin_;
};

} // namespace

int chartScrollRange(qsizetype days)
{
    return int(std::min<qint64>(qint64(days) * DayWidth + 50, LargestExtent));
}

SeriesPoints seriesPoints(const ChartDay& day, const ChartLook& look, int surfaceHeight)
{
    const double total = double(day.regular) + day.onDemand + day.enhanced;
    return {
        lifted(day.downloads, 1, look.downloads.offset, surfaceHeight),
        lifted(day.enhanced, 3, look.enhanced.offset, surfaceHeight),
        lifted(total, 3, look.sales.offset, surfaceHeight),
        lifted(day.regular, 3, look.sales.offset, surfaceHeight),
        lifted(day.onDemand, 3, look.onDemand.offset, surfaceHeight),
    };
}

void drawPortfolioChart(platform::Canvas& canvas, const std::vector<ChartDay>& days, const ChartLook& look,
                        int surfaceHeight, const QRect& area)
{
    canvas.setPenColor(Qt::white);
    canvas.setBrushColor(Qt::white);
    canvas.fillRect(0, 0, area.width(), area.height());
    // Only the days whose band, lines or month label reach into the area, in their order.
    const qsizetype first = std::max<qint64>(0, (qint64(area.left()) - DayReachRight) / DayWidth);
    const qsizetype last =
        std::min<qint64>(qint64(days.size()) - 1, (qint64(area.right()) + LabelLeft) / DayWidth);
    if (first <= last)
        ChartPainter(canvas, look, surfaceHeight, area.topLeft()).drawDays(days, first, last);
}

} // namespace chart
