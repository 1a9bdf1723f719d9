#include "chart/chart_surface.h"

#include <QEvent>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

#include "platform/canvas.h"

namespace chart {

ChartSurface::ChartSurface(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Image1"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ChartSurface::showChart(std::vector<ChartDay> days, const ChartLook& look)
{
    days_ = std::move(days);
    look_ = look;
    update();
}

void ChartSurface::clear()
{
    days_.clear();
    update();
}

void ChartSurface::paintEvent(QPaintEvent* event)
{
    const QRect area = event->rect();
    QImage part(area.size(), QImage::Format_RGB32);
    {
        QPainter painter(&part);
        platform::Canvas canvas(painter);
        drawPortfolioChart(canvas, days_, look_, height(), area);
    }
    QPainter(this).drawImage(area.topLeft(), part);
}

ChartScrollBox::ChartScrollBox(QWidget* parent)
    : QScrollArea(parent), scrolled_(new QWidget), surface_(new ChartSurface(scrolled_))
{
    setObjectName(QStringLiteral("ScrollBox1"));
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(false);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setWidget(scrolled_);
    placeSurface();
}

void ChartScrollBox::setHorizontalRange(int range)
{
    range_ = range;
    placeSurface();
}

bool ChartScrollBox::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::Resize)
        placeSurface();
    return QScrollArea::viewportEvent(event);
}

// A window taller than the surface's least height makes the surface taller, growing upwards: the
// chart stays measured from the bottom edge and the higher values come into view, where a fixed
// surface would leave a blank strip above it.
void ChartScrollBox::placeSurface()
{
    const QSize visible = viewport()->size();
    const int height = std::max(SurfaceHeight, visible.height());
    const int width = std::min(std::max(SurfaceWidth, range_), QWIDGETSIZE_MAX);
    scrolled_->resize(std::clamp(range_, visible.width(), QWIDGETSIZE_MAX), visible.height());
    surface_->setGeometry(-1, visible.height() - height, width, height);
}

} // namespace chart
