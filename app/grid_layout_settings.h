#pragma once

namespace browser {
class PictureGrid;
} // namespace browser

namespace platform {
class IniFile;
} // namespace platform

namespace app {

// The picture grid's column layout in the section "PicGrid": one key "picGrid." + field name per
// column, in the grid's current order, with the column's seven numbers.

// Erases the section, then writes every column. A hidden column is written with its real width.
void saveGridLayout(platform::IniFile& file, browser::PictureGrid& grid);

// Restores what is stored: the width and sort marker of each column at once, the sort index after all
// columns are read (the column with one keeps its marker), then the order of the stored positions
// from 0 upwards. A missing key, or a missing or non-numeric number, keeps the column's current
// setting; widths are kept visible and bounded; a marker on a column that cannot be sorted (the
// painted IMAGE and DIAGRAM, which the list's statement cannot order by) is ignored. Visibility is
// not restored. The grid is redrawn once, at the end. False when the file has no such section.
bool restoreGridLayout(const platform::IniFile& file, browser::PictureGrid& grid);

} // namespace app
