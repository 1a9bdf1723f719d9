#include "browser/column_fit.h"

#include <algorithm>

namespace browser {

std::optional<TextColumnWidths> fitTextColumns(int room, int defaultWidth, int minimumWidth)
{
    if (room < 2 * minimumWidth)
        return std::nullopt;
    const int title = std::clamp(room * 3 / 5, minimumWidth, defaultWidth);
    return TextColumnWidths{title, std::clamp(room - title, minimumWidth, defaultWidth)};
}

} // namespace browser
