#pragma once

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QRect>

class QImage;
class QPainter;
class QString;

namespace platform {

// What a canvas draws with: pen, brush, font and the pen position. They stay as last set, also from one
// drawing to the next when the owner of a surface keeps them with it.
struct CanvasTools
{
    QColor penColor = Qt::black;
    QColor brushColor = Qt::white;
    QFont font;
    QColor fontColor = Qt::black;
    QPoint penPosition;
};

// Drawing with the rules of the classic desktop canvas, over a QPainter (antialiasing off):
// - a line includes its start point and excludes its end point;
// - a rectangle is outlined with the pen and filled with the brush over x1..x2-1, y1..y2-1;
// - a fill covers x1..x2-1, y1..y2-1 with the brush, without outline;
// - a text is written from its top left corner on an opaque background of the brush colour.
// Only the pixels inside the painter's device (and its clip rectangle, when it has one, as set when the
// canvas is made) are touched, and work stays proportional to those pixels however far outside the
// coordinates lie.
class Canvas
{
public:
    // Draws with its own tools, which start at their defaults.
    explicit Canvas(QPainter& painter);
    // Draws with the caller's tools, which outlive this canvas.
    Canvas(QPainter& painter, CanvasTools& tools);
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    CanvasTools& tools() { return tools_; }
    void setPenColor(const QColor& color) { tools_.penColor = color; }
    void setBrushColor(const QColor& color) { tools_.brushColor = color; }
    void setFont(const QFont& font) { tools_.font = font; }
    void setFontColor(const QColor& color) { tools_.fontColor = color; }

    void moveTo(int x, int y);
    // A line from the pen position to (x, y) without its end point, which becomes the pen position.
    void lineTo(int x, int y);
    void rectangle(int x1, int y1, int x2, int y2);
    void fillRect(int x1, int y1, int x2, int y2);
    void fillRect(const QRect& rect);
    void textOut(int x, int y, const QString& text);
    // The image stretched over the rectangle x1..x2-1, y1..y2-1.
    void stretchDraw(const QRect& target, const QImage& image);

private:
    // The pixels drawing may touch: the device's, within the clip rectangle if one is set.
    QRect drawableArea() const { return area_; }
    void fillArea(const QRect& area, const QColor& color);

    QPainter& painter_;
    QRect area_;
    CanvasTools ownTools_;
    CanvasTools& tools_;
};

// The nearest integer, an exact half going to the even neighbour (2.5 -> 2, 3.5 -> 4). Values beyond
// ±1,000,000,000 are held there: such coordinates lie far outside any surface. A value that is no
// number (NaN) counts as 0.
int nearestInt(double value);

} // namespace platform
