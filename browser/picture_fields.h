#pragma once

#include <QString>

#include <vector>

namespace browser {

// How a field of the picture list shows its value.
enum class FieldDisplay {
    Plain,    // whole numbers and texts as they are
    Money,    // two decimals, at least one digit before the separator
    Date,     // the system's short date form
    Painted,  // drawn by the cell painter (preview, mini chart); no text
};

// A field of the picture list, in the order of the grid's columns.
struct PictureField
{
    const char* name;
    QString title;
    bool visible;
    FieldDisplay display;
    bool numeric;      // right-aligned
    int displayWidth;  // characters, for the default column width
};

// The grid's columns, one per field, in the order of pictureFields().
enum PictureColumn {
    ColIdPicture, ColIdFolder, ColType, ColTitle, ColKeywords, ColImage, ColCountSales, ColSumSales,
    ColSumOnDemand, ColSumOnEnhanced, ColAcceptDate, ColFirstSale, ColLastSale, ColDiagram, ColEfficacy,
    ColEfficacy2, ColMaxDls, ColIdBatch, PictureColumnCount
};

// The fields of the picture list. DIAGRAM is not a column of the statement: the program adds it so
// that the grid has a cell for the mini chart, and never fills it.
const std::vector<PictureField>& pictureFields();

// The titles of these columns stay plain (they are painted and cannot be sorted).
bool isSortableField(const char* name);

} // namespace browser
