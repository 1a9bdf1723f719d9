#pragma once

#include <QCache>
#include <QDate>
#include <QImage>
#include <QRect>
#include <QSet>
#include <QStringList>

#include <optional>

namespace data {
class Tdm;
} // namespace data

class QPainter;

namespace platform {
struct CanvasTools;
} // namespace platform

namespace browser {

class PictureListModel;

// Colours of the painted cells.
namespace cell_colours {
inline const QColor NoBatchPink(254, 226, 222);
inline const QColor ChartYellow(255, 255, 224);
inline const QColor BarRed(255, 0, 0);
inline const QColor EndMarkerYellow(255, 255, 0);
inline const QColor White(255, 255, 255);
} // namespace cell_colours

// The size of the preview bitmap for a picture in a cell: at most the cell's width across and the
// smaller of its width and height down, in the picture's proportions.
QSize previewBitmapSize(QSize picture, int cellWidth, int cellHeight);

// The word of a picture type; empty for a value outside 0-4.
QString pictureTypeWord(qint64 type);

// Draws the mini chart of a DIAGRAM text, split into its tokens, into a cell already filled with chart
// yellow: a pixel column per day from the cell's left edge, the end marker after the last day, white
// right of it. A token that is no whole number is an error (std::runtime_error).
void drawMiniChart(QPainter& painter, platform::CanvasTools& tools, const QRect& cell, const QStringList& tokens,
                   bool withoutFirstDays);

// What the painted cells depend on besides the row: the period, "график с начала" and the row height.
struct CellSettings
{
    QDate from;
    QDate till;
    bool withoutFirstDays = true;
    int rowHeight = 0;
    friend bool operator==(const CellSettings&, const CellSettings&) = default;
};

// Paints the data cells of the picture grid from the rows of the picture list: the pink rows of
// pictures without a batch, bold selected rows, the preview, the type word, the mini chart and the
// plain text of every other column. Widget-free: it draws on a canvas.
//
// DIAGRAM texts (split into their tokens) and scaled previews are kept for reuse within a memory budget. They are dropped when
// the list is opened or closed (every commit closes it) and when the settings differ from those of the
// last paint; a preview is scaled again for another cell size.
//
// A cell that cannot be painted (a preview that is no JPEG, a DIAGRAM token that is no number, a
// database error) is painted white; its error is kept as a problem, to be reported once per list
// opening by the caller outside the paint.
class CellPainter
{
public:
    // Memory budgets of the kept previews and DIAGRAM texts, in bytes.
    static constexpr qsizetype PreviewBudget = 6 * 1024 * 1024;
    static constexpr qsizetype DiagramBudget = 8 * 1024 * 1024;

    // The tokens of the mini chart being painted go to diagramTokens (the main window's buffer).
    CellPainter(data::Tdm& dm, const PictureListModel& model, QStringList& diagramTokens);

    // Paints one data cell of the grid. The tools' brush is the background the grid chose for the
    // cell, their font and font colour those of the cell's text; the cell's right and bottom edges are
    // exclusive. Drawing stays inside the cell.
    void picGridDrawDataCell(QPainter& painter, platform::CanvasTools& tools, const QRect& cell, int row,
                             int column, bool selected, const CellSettings& settings);

    // The list has been opened or closed: kept results are dropped and problems may be reported again.
    void listReset();
    // Problems met while painting that have not been reported since the list was opened; taking them
    // counts them as reported.
    QStringList takeNewProblems();
    bool hasNewProblems() const { return !newProblems_.isEmpty(); }

    // Bytes held by kept previews and DIAGRAM texts.
    qsizetype keptBytes() const { return previews_.totalCost() + diagrams_.totalCost(); }

private:
    struct KeptPreview
    {
        QSize cell; // width and the smaller of width and height it was scaled for
        QImage bitmap;
    };
    struct KeptDiagram
    {
        bool found; // false when the procedure returned no row
        QStringList tokens;
    };

    void paintContent(QPainter& painter, platform::CanvasTools& tools, const QRect& cell, int row, int column,
                      const CellSettings& settings);
    void drawPreview(QPainter& painter, platform::CanvasTools& tools, const QRect& cell, int row);
    void drawChartCell(QPainter& painter, platform::CanvasTools& tools, const QRect& cell, int row,
                       const CellSettings& settings);
    void drawDefaultCell(QPainter& painter, platform::CanvasTools& tools, const QRect& cell, int row, int column);
    QImage scaledPreview(qint64 pictureId, int row, QSize cell);
    QImage loadPreview(qint64 pictureId, int row);
    // Fills the tokens buffer with the DIAGRAM text of the picture for the period; false without one.
    bool diagramTokens(qint64 pictureId, const CellSettings& settings);
    void keepSettings(const CellSettings& settings);
    void noteProblem(const QString& message);

    data::Tdm& dm_;
    const PictureListModel& model_;
    QStringList& diagramTokens_;
    std::optional<CellSettings> keptFor_;
    QCache<qint64, KeptPreview> previews_;
    QCache<qint64, KeptDiagram> diagrams_;
    QStringList newProblems_;
    QSet<QString> reported_;
};

} // namespace browser
