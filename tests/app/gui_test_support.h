#pragma once

#include <QWidget>

namespace app_tests {

// A left-button click in the middle of a widget, as the mouse gives it.
void click(QWidget* widget);

} // namespace app_tests
