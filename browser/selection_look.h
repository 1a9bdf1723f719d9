#pragma once

class QWidget;

namespace browser {

// Selected rows keep the focused selection colours while the widget does not have the focus.
void keepSelectionVisibleWithoutFocus(QWidget* widget);

} // namespace browser
