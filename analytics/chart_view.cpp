#include "analytics/chart_view.h"

#include <QImage>
#include <QPainter>

#include "platform/canvas.h"

namespace analytics {

ChartView::ChartView(QWidget* parent) : QWidget(parent)
{
    setMinimumHeight(180);
}

void ChartView::showChart(LineChart chart)
{
    chart_ = std::move(chart);
    update();
}

void ChartView::paintEvent(QPaintEvent*)
{
    QImage image(size(), QImage::Format_RGB32);
    {
        QPainter painter(&image);
        platform::Canvas canvas(painter);
        drawLineChart(canvas, size(), chart_);
    }
    QPainter(this).drawImage(0, 0, image);
}

} // namespace analytics
