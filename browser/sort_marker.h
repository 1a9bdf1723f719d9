#pragma once

#include <QByteArray>

namespace browser {

// The sort marker on a grid column title; at most one column carries one.
enum class SortMarker { None = 0, Descending = 1, Ascending = 2 };

// The marker after a click on the title: none becomes descending, descending ascending, ascending
// descending again, or none when Ctrl is held.
SortMarker nextSortMarker(SortMarker current, bool ctrlHeld);

// The column that orders the list: its field name and marker.
struct ColumnSort
{
    QByteArray fieldName;
    SortMarker marker = SortMarker::None;
};

} // namespace browser
