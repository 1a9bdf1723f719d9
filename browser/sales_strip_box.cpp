#include "browser/sales_strip_box.h"

#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace browser {

StripImage::StripImage(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void StripImage::setImage(QImage image)
{
    image_ = std::move(image);
    update();
}

void StripImage::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(0, 0, image_);
}

SalesStripBox::SalesStripBox(QWidget* parent)
    : QAbstractScrollArea(parent), Image1(new StripImage(viewport())), PopupMenu2(new QMenu(Image1))
{
    setObjectName(QStringLiteral("ScrollBox1"));
    Image1->setObjectName(QStringLiteral("Image1"));
    PopupMenu2->setObjectName(QStringLiteral("PopupMenu2"));
    QAction* save = PopupMenu2->addAction(QStringLiteral("Сохранить в jpg"));
    save->setObjectName(QStringLiteral("miSaveJpg"));
    save->setEnabled(false);
    Image1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Image1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& point) { PopupMenu2->popup(Image1->mapToGlobal(point)); });
    Image1->installEventFilter(this);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    horizontalScrollBar()->setTracking(true);
}

void SalesStripBox::setRange(int contentWidth)
{
    range_ = std::max(0, contentWidth);
    updateScrollBar();
}

void SalesStripBox::updateScrollBar()
{
    const int visible = viewport()->width();
    QScrollBar* bar = horizontalScrollBar();
    bar->setPageStep(visible);
    bar->setSingleStep(SalesStrip::ColumnWidth);
    bar->setRange(0, std::max(0, range_ - visible));
}

void SalesStripBox::refresh()
{
    paintVisiblePart();
}

void SalesStripBox::paintVisiblePart()
{
    const QSize size = viewport()->size();
    Image1->setGeometry(QRect(QPoint(0, 0), size));
    if (size.isEmpty())
        return;
    QImage image(size, QImage::Format_RGB32);
    strip_.paint(image, horizontalScrollBar()->value());
    Image1->setImage(std::move(image));
}

QSize SalesStripBox::minimumSizeHint() const
{
    const int frame = 2 * frameWidth();
    return {QAbstractScrollArea::minimumSizeHint().width(),
            MinimumImageHeight + horizontalScrollBar()->sizeHint().height() + frame};
}

// The strip follows a change of its height at once: the drawing it shows is painted again at the
// new height, which the scale uses, without asking the database again.
void SalesStripBox::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBar();
    paintVisiblePart();
}

void SalesStripBox::scrollContentsBy(int, int)
{
    paintVisiblePart();
}

void SalesStripBox::Image1MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, int x, int)
{
    pressedX_ = x;
}

void SalesStripBox::Image1MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers, int x, int)
{
    if (!(buttons & Qt::LeftButton))
        return;
    QScrollBar* bar = horizontalScrollBar();
    bar->setValue(bar->value() + (pressedX_ - x));
    pressedX_ = x;
}

bool SalesStripBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Image1 && (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseMove)) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint at = mouse->position().toPoint();
        if (event->type() == QEvent::MouseButtonPress)
            Image1MouseDown(mouse->button(), mouse->modifiers(), at.x(), at.y());
        else
            Image1MouseMove(mouse->buttons(), mouse->modifiers(), at.x(), at.y());
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}

} // namespace browser
