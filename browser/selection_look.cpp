#include "browser/selection_look.h"

#include <QPalette>
#include <QWidget>

namespace browser {

void keepSelectionVisibleWithoutFocus(QWidget* widget)
{
    QPalette colours = widget->palette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        colours.setColor(QPalette::Inactive, role, colours.color(QPalette::Active, role));
    widget->setPalette(colours);
}

} // namespace browser
