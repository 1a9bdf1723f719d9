#pragma once

#include <QScrollArea>
#include <QWidget>

#include <vector>

#include "chart/portfolio_chart.h"

namespace chart {

// The drawing surface Image1. It keeps the days and looks of the last drawing and paints only the part
// on screen, so a chart of any length costs the memory of its days alone. It is at least 5000 × 1000
// pixels and as wide as the scroll range.
class ChartSurface : public QWidget
{
    Q_OBJECT

public:
    explicit ChartSurface(QWidget* parent = nullptr);

    // Shows a drawing of these days with these looks until the next one.
    void showChart(std::vector<ChartDay> days, const ChartLook& look);
    // Shows the white surface.
    void clear();

    const std::vector<ChartDay>& days() const { return days_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<ChartDay> days_;
    ChartLook look_;
};

// ScrollBox1: scrolls the surface horizontally over the range the chart sets; there is no vertical
// scrolling. The surface lies one pixel left of the scrolled area's left edge, and its bottom edge stays
// at the bottom of the visible area.
class ChartScrollBox : public QScrollArea
{
    Q_OBJECT

public:
    explicit ChartScrollBox(QWidget* parent = nullptr);

    ChartSurface* surface() const { return surface_; }
    int horizontalRange() const { return range_; }
    void setHorizontalRange(int range);

protected:
    bool viewportEvent(QEvent* event) override;

private:
    void placeSurface();

    QWidget* scrolled_;
    ChartSurface* surface_;
    int range_ = 0;
};

} // namespace chart
