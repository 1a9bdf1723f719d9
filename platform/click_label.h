#pragma once

#include <QLabel>

namespace platform {

// A label that reports a click with the left mouse button.
class ClickLabel : public QLabel
{
    Q_OBJECT

public:
    using QLabel::QLabel;

Q_SIGNALS:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace platform
