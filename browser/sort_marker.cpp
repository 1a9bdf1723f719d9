#include "browser/sort_marker.h"

namespace browser {

SortMarker nextSortMarker(SortMarker current, bool ctrlHeld)
{
    switch (current) {
    case SortMarker::None:
        return SortMarker::Descending;
    case SortMarker::Descending:
        return SortMarker::Ascending;
    case SortMarker::Ascending:
        return ctrlHeld ? SortMarker::None : SortMarker::Descending;
    }
    return SortMarker::None;
}

} // namespace browser
