#pragma once

#include <QSize>

class QWidget;

namespace app {

// Moves a top-level window, frame included, to the centre of the available area of its screen.
void centreOnScreen(QWidget* window);

// The main window's size at the first start: nine tenths of the screen's available area, so that the
// grid shows the preview and mini chart columns beside the panels; never smaller than the design size
// where the screen has room for it.
QSize firstStartSize(QSize designSize, QSize available);

} // namespace app
