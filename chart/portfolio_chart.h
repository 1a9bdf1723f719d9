#pragma once

#include <QColor>
#include <QDate>
#include <QRect>

#include <vector>

namespace platform {
class Canvas;
} // namespace platform

namespace chart {

// One day of the whole portfolio (a row of GRAPH), its values already taken as whole numbers:
// downloads and the earnings of regular, on-demand and enhanced downloads in whole money units.
struct ChartDay
{
    QDate date;
    int downloads = 0;
    int regular = 0;
    int onDemand = 0;
    int enhanced = 0;
};

// How a series is drawn: the colour of its legend label and its lift in pixels.
struct SeriesLook
{
    QColor color;
    int offset = 0;
};

// The looks of the four legend rows; the total and the regular earnings share the "sales" row.
struct ChartLook
{
    SeriesLook downloads;
    SeriesLook sales;
    SeriesLook onDemand;
    SeriesLook enhanced;
};

// Each day takes a band this many pixels wide, the first at x = 0.
inline constexpr int DayWidth = 3;
// The least size of the drawing surface; it grows to the right to hold every day and, in a window
// taller than this height, upwards.
inline constexpr int SurfaceWidth = 5000;
inline constexpr int SurfaceHeight = 1000;

// The horizontal scroll range for that many days: their bands and 50 pixels beyond.
int chartScrollRange(qsizetype days);

// The vertical positions of the five series for one day on a surface of the given height: each value
// measured up from the bottom edge (a download 1 pixel, a money unit 3), lifted by its offset.
struct SeriesPoints
{
    int downloads = 0;
    int enhanced = 0;
    int total = 0;
    int regular = 0;
    int onDemand = 0;
};
SeriesPoints seriesPoints(const ChartDay& day, const ChartLook& look, int surfaceHeight);

// Draws the part `area` of the chart surface (surfaceHeight pixels tall, as wide as the days need) on
// the canvas, whose device holds that part with area's top left corner at (0, 0). The surface is
// white; each day has its band, the five series join the points of consecutive days, and at each
// month change the month that has ended is written near the bottom edge. Any part of the surface
// drawn this way has exactly the pixels that drawing the whole surface gives there, so a window can
// draw only what it shows.
void drawPortfolioChart(platform::Canvas& canvas, const std::vector<ChartDay>& days, const ChartLook& look,
                        int surfaceHeight, const QRect& area);

} // namespace chart
