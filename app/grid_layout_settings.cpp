#include "app/grid_layout_settings.h"

#include <QSignalBlocker>

#include <algorithm>
#include <vector>

#include "app/settings_text.h"
#include "browser/picture_fields.h"
#include "browser/picture_grid.h"
#include "browser/sort_marker_header.h"
#include "platform/ini_file.h"

namespace app {

namespace {

const QByteArray Section = "PicGrid";
const int MaxColumnWidth = 2000;

QByteArray columnKey(int logical)
{
    return QByteArray("picGrid.") + browser::pictureFields()[static_cast<std::size_t>(logical)].name;
}

// A hidden section reports no size; its own is kept aside and comes back when it is shown.
int realWidth(QHeaderView& header, int logical)
{
    if (!header.isSectionHidden(logical))
        return header.sectionSize(logical);
    const QSignalBlocker blocker(header);
    header.showSection(logical);
    const int width = header.sectionSize(logical);
    header.hideSection(logical);
    return width;
}

std::optional<browser::SortMarker> storedMarker(const StoredColumn& column, int logical)
{
    const bool known = column.marker && *column.marker >= 0 && *column.marker <= 2;
    if (!known || !browser::isSortableField(browser::pictureFields()[static_cast<std::size_t>(logical)].name))
        return std::nullopt;
    return browser::SortMarker(*column.marker);
}

} // namespace

void saveGridLayout(platform::IniFile& file, browser::PictureGrid& grid)
{
    browser::SortMarkerHeader& titles = *grid.titles();
    file.eraseSection(Section);
    for (int visual = 0; visual < titles.count(); ++visual) {
        const int logical = titles.logicalIndex(visual);
        const int marker = int(titles.marker(logical));
        file.setValue(Section, columnKey(logical),
                      columnText(visual, realWidth(titles, logical), marker, !titles.isSectionHidden(logical),
                                 marker ? 1 : 0));
    }
}

bool restoreGridLayout(const platform::IniFile& file, browser::PictureGrid& grid)
{
    if (!file.sectionExists(Section))
        return false;
    browser::SortMarkerHeader& titles = *grid.titles();
    grid.setUpdatesEnabled(false);
    std::vector<std::pair<int, int>> positions; // stored position, column
    std::optional<std::pair<int, browser::SortMarker>> sorted;
    for (int logical = 0; logical < titles.count(); ++logical) {
        const QByteArray text = file.value(Section, columnKey(logical)).trimmed();
        if (text.isEmpty())
            continue;
        const StoredColumn column = readColumnText(text);
        if (column.width)
            grid.setColumnWidth(logical, std::clamp(*column.width, titles.minimumSectionSize(), MaxColumnWidth));
        if (const std::optional<browser::SortMarker> marker = storedMarker(column, logical)) {
            titles.setMarker(logical, *marker);
            if (column.sortIndex.value_or(0) > 0 && *marker != browser::SortMarker::None)
                sorted = {logical, *marker};
        }
        if (column.position)
            positions.emplace_back(*column.position, logical);
    }
    if (sorted)
        titles.setMarker(sorted->first, sorted->second);
    std::stable_sort(positions.begin(), positions.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [position, logical] : positions)
        titles.moveSection(titles.visualIndex(logical), std::clamp(position, 0, titles.count() - 1));
    grid.setUpdatesEnabled(true);
    return true;
}

} // namespace app
