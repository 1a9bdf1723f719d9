#pragma once

#include <optional>

namespace browser {

struct TextColumnWidths
{
    int title;
    int keywords;
};

// How the title and keyword columns share the room that the other columns, up to the mini chart,
// leave in the grid's viewport: their default widths where the room allows, else the title three
// fifths of it and the keywords the rest. Nullopt when the room is less than two minimum widths.
std::optional<TextColumnWidths> fitTextColumns(int room, int defaultWidth, int minimumWidth);

} // namespace browser
