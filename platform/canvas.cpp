#include "platform/canvas.h"

#include <QFontMetrics>
#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QRect>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace platform {

namespace {

constexpr double CoordinateLimit = 1'000'000'000.0;

// The part of the span [from, to] (inclusive) that lies inside [low, high]; empty when first > last.
struct Span
{
    qint64 first;
    qint64 last;
    bool empty() const { return first > last; }
};

Span clippedSpan(qint64 from, qint64 to, qint64 low, qint64 high)
{
    return {std::max(std::min(from, to), low), std::min(std::max(from, to), high)};
}

// The move along the shorter axis after t steps of a line of the given length: its share rounded to
// the nearest pixel, computed wide enough for any two int coordinates.
qint64 minorOffset(qint64 t, qint64 minorLength, qint64 steps)
{
    __extension__ typedef __int128 Wide;
    const Wide share =
        (Wide(2) * t * (minorLength < 0 ? -minorLength : minorLength) + steps) / (Wide(2) * steps);
    return minorLength < 0 ? -qint64(share) : qint64(share);
}

} // namespace

int nearestInt(double value)
{
    if (std::isnan(value))
        return 0;
    return static_cast<int>(std::nearbyint(std::clamp(value, -CoordinateLimit, CoordinateLimit)));
}

Canvas::Canvas(QPainter& painter) : Canvas(painter, ownTools_) {}

Canvas::Canvas(QPainter& painter, CanvasTools& tools) : painter_(painter), tools_(tools)
{
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, true);
    // Read once: asking the painter for its clip costs more than drawing a short line.
    const QPaintDevice* device = painter_.device();
    area_ = QRect(0, 0, device->width(), device->height());
    if (painter_.hasClipping())
        area_ &= painter_.clipBoundingRect().toAlignedRect();
}

void Canvas::fillArea(const QRect& area, const QColor& color)
{
    if (!area.isEmpty())
        painter_.fillRect(area, color);
}

void Canvas::moveTo(int x, int y)
{
    tools_.penPosition = QPoint(x, y);
}

void Canvas::lineTo(int x, int y)
{
    const QPoint start = tools_.penPosition;
    tools_.penPosition = QPoint(x, y);
    const qint64 dx = qint64(x) - start.x();
    const qint64 dy = qint64(y) - start.y();
    const qint64 steps = std::max(std::abs(dx), std::abs(dy));
    if (steps == 0)
        return;
    const QRect area = drawableArea();
    if (area.isEmpty())
        return;

    // Step t runs over 0..steps-1 along the longer axis (the end point is left out); the other axis
    // moves by the rounded share of its length. Only the steps whose long-axis coordinate lies inside
    // the area are visited.
    const bool alongX = std::abs(dx) >= std::abs(dy);
    const qint64 major0 = alongX ? start.x() : start.y();
    const qint64 minor0 = alongX ? start.y() : start.x();
    const qint64 majorDir = (alongX ? dx : dy) > 0 ? 1 : -1;
    const qint64 minorLength = alongX ? dy : dx;
    const qint64 low = alongX ? area.left() : area.top();
    const qint64 high = alongX ? area.right() : area.bottom();
    const Span visible = majorDir > 0 ? clippedSpan(low - major0, high - major0, 0, steps - 1)
                                      : clippedSpan(major0 - high, major0 - low, 0, steps - 1);
    if (visible.empty())
        return;

    const auto pointAt = [&](qint64 t) {
        const qint64 major = major0 + majorDir * t;
        const qint64 minor = minor0 + minorOffset(t, minorLength, steps);
        return alongX ? QPoint(int(major), int(minor)) : QPoint(int(minor), int(major));
    };
    if (minorLength == 0) {
        const QPoint a = pointAt(visible.first);
        const QPoint b = pointAt(visible.last);
        const QRect run(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                        QPoint(std::max(a.x(), b.x()), std::max(a.y(), b.y())));
        fillArea(run & area, tools_.penColor);
        return;
    }

    std::vector<QPoint> points;
    points.reserve(std::size_t(visible.last - visible.first + 1));
    for (qint64 t = visible.first; t <= visible.last; ++t) {
        const QPoint point = pointAt(t);
        if (area.contains(point))
            points.push_back(point);
    }
    if (points.empty())
        return;
    painter_.setPen(QPen(tools_.penColor, 1));
    painter_.drawPoints(points.data(), int(points.size()));
}

void Canvas::rectangle(int x1, int y1, int x2, int y2)
{
    if (x2 <= x1 || y2 <= y1)
        return;
    fillRect(x1, y1, x2, y2);
    const QRect area = drawableArea();
    const QRect outer(QPoint(x1, y1), QPoint(x2 - 1, y2 - 1));
    fillArea(QRect(outer.topLeft(), QPoint(outer.right(), y1)) & area, tools_.penColor);
    fillArea(QRect(QPoint(x1, outer.bottom()), outer.bottomRight()) & area, tools_.penColor);
    fillArea(QRect(outer.topLeft(), QPoint(x1, outer.bottom())) & area, tools_.penColor);
    fillArea(QRect(QPoint(outer.right(), y1), outer.bottomRight()) & area, tools_.penColor);
}

void Canvas::fillRect(int x1, int y1, int x2, int y2)
{
    if (x2 <= x1 || y2 <= y1)
        return;
    fillArea(QRect(QPoint(x1, y1), QPoint(x2 - 1, y2 - 1)) & drawableArea(), tools_.brushColor);
}

void Canvas::fillRect(const QRect& rect)
{
    fillArea(rect & drawableArea(), tools_.brushColor);
}

void Canvas::textOut(int x, int y, const QString& text)
{
    const QFontMetrics metrics(tools_.font, painter_.device());
    const QRect box(x, y, metrics.horizontalAdvance(text), metrics.height());
    fillArea(box & drawableArea(), tools_.brushColor);
    painter_.setFont(tools_.font);
    painter_.setPen(tools_.fontColor);
    painter_.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
}

void Canvas::stretchDraw(const QRect& target, const QImage& image)
{
    if (!target.isEmpty() && !image.isNull())
        painter_.drawImage(target, image);
}

} // namespace platform
