#pragma once

#include <QAbstractScrollArea>
#include <QImage>

#include "browser/sales_strip.h"

class QMenu;

namespace browser {

// Image1: shows the part of the strip that the scroll box lets the user see. It fills the box's
// viewport and does not move, so the pointer's x over it is measured in the viewport.
class StripImage : public QWidget
{
public:
    explicit StripImage(QWidget* parent = nullptr);

    const QImage& image() const { return image_; }
    void setImage(QImage image);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage image_;
};

// ScrollBox1: the daily sales strip under the grid, with a horizontal scroll bar only, whose range the
// strip sets. The strip is painted into an image, never from a paint event: when its drawing changes,
// when the box is scrolled (the content follows the thumb while it is dragged) and when the box is
// resized. The user also scrolls by dragging Image1 with the left button. Image1's context menu has
// the single item "Сохранить в jpg", which stays disabled.
class SalesStripBox : public QAbstractScrollArea
{
    Q_OBJECT

public:
    // Room for the weekday letters, the day numbers, the month labels and some bar.
    static constexpr int MinimumImageHeight = 55;

    explicit SalesStripBox(QWidget* parent = nullptr);

    SalesStrip& strip() { return strip_; }
    // The width the scroll bar runs over; the scroll position stays, held within the new range.
    void setRange(int contentWidth);
    int range() const { return range_; }
    // Paints the visible part again after the strip's drawing has changed.
    void refresh();

    QSize minimumSizeHint() const override;

    // Drag-scrolling: a press remembers the pointer's x; a move with the left button held scrolls by
    // the distance the pointer moved since, so the content moves with the pointer.
    void Image1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void Image1MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers shift, int x, int y);

    StripImage* Image1;
    QMenu* PopupMenu2;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void updateScrollBar();
    void paintVisiblePart();

    SalesStrip strip_;
    int range_ = 0;
    int pressedX_ = 0;
};

} // namespace browser
