#pragma once

#include <QStringList>
#include <QtGlobal>

namespace browser {

// The main window's working state that the picture list and the folder tree share.
struct BrowserState
{
    // The id of the selected folder node; 0 until the first selection.
    int CurrentFolderId = 0;
    // IDPICTURE of the list's current row; 0 until a row is current, and again while the list is
    // empty. Kept whole (64 bits), since it goes into the pages' addresses.
    qint64 CurrentPictureId = 0;
    // The ids of the grid rows being moved, as decimal texts.
    QStringList SelectedIds;
    // The number of pictures without any sale, as counted by the last count; 0 when not counted.
    int ZeroSalesCount = 0;
};

} // namespace browser
