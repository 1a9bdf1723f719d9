#pragma once

#include <QColor>
#include <QSize>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace platform {
class Canvas;
} // namespace platform

namespace analytics {

struct LifecycleYear;
struct Seasonality;

// A line of a chart: a value per point of the x axis, none where it has no value.
struct ChartSeries
{
    QString name;
    QColor color;
    std::vector<std::optional<double>> values;
};

// Points along the x axis, one band each, and the lines drawn over them.
struct LineChart
{
    QStringList pointLabels;
    std::vector<ChartSeries> series;
};

// The average earnings per picture by months since acceptance, a line per acceptance year.
LineChart lifecycleChart(const std::vector<LifecycleYear>& years);
// The earnings by month of the year, January to December, a line per year.
LineChart seasonalityChart(const Seasonality& seasonality);

// The least value above 0 of the form 1, 2 or 5 times a power of ten that cuts 0..top into at most
// about five steps; 1 for a top of 0 or less.
double guideStep(double top);

// Draws the chart over the canvas's surface of the given size in the way of the portfolio chart: a
// white surface, every other point's band tinted (255, 255, 224), grey guide lines at round values
// labelled on the left, point labels along the bottom, each line joining its consecutive points that
// have values, and the lines' names in their colours at the top left.
void drawLineChart(platform::Canvas& canvas, QSize size, const LineChart& chart);

} // namespace analytics
