#include "app/window_placement.h"

#include <QScreen>
#include <QWidget>

namespace app {

void centreOnScreen(QWidget* window)
{
    QRect frame = window->frameGeometry();
    frame.moveCenter(window->screen()->availableGeometry().center());
    window->move(frame.topLeft());
}

QSize firstStartSize(QSize designSize, QSize available)
{
    return (available * 9 / 10).expandedTo(designSize).boundedTo(available);
}

} // namespace app
