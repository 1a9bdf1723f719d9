#pragma once

#include <QWidget>

#include "analytics/line_chart.h"

namespace analytics {

// Shows a line chart at the widget's size, drawn by drawLineChart onto an image.
class ChartView : public QWidget
{
    Q_OBJECT

public:
    explicit ChartView(QWidget* parent = nullptr);

    void showChart(LineChart chart);
    const LineChart& chart() const { return chart_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    LineChart chart_;
};

} // namespace analytics
