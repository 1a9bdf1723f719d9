#pragma once

class QWidget;

namespace app {

// Moves a top-level window, frame included, to the centre of the available area of its screen.
void centreOnScreen(QWidget* window);

} // namespace app
