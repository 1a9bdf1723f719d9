#pragma once

#include <QPoint>
#include <QSet>
#include <QTableView>

#include <optional>
#include <vector>

#include "browser/sort_marker.h"

namespace browser {

class PictureListModel;
class SortMarkerHeader;

// The picture grid: whole rows, several selected at once (the selection stays visible without the
// focus), a row indicator, columns and rows that the user resizes (one height for every row), titles
// that sort, the find dialog (Ctrl+F), copying rows for a spreadsheet (Ctrl+C), tool tips per column,
// and rows dragged onto a folder.
//
// The grid's current row follows the list's current row and moves it: a move by the user is reported
// by currentRowMoved, and followListRow shows a move of the list's own.
class PictureGrid : public QTableView
{
    Q_OBJECT

public:
    // Drags of picture rows carry this format; the folder tree accepts it.
    static const char* const DragFormat;

    explicit PictureGrid(QWidget* parent = nullptr);

    // The grid shows only this model; hidden fields get hidden columns, and each column its default
    // width.
    void setPictureModel(PictureListModel* model);
    PictureListModel* pictureModel() const { return model_; }
    SortMarkerHeader* titles() const { return titles_; }

    // The first column in the current order that carries a marker: its field, marker and position.
    std::optional<ColumnSort> firstMarkedColumn(int* visualPosition = nullptr) const;
    void setCellTips(int logicalIndex, bool on);

    // The selected rows, in the order of the list.
    std::vector<int> selectedListRows() const;
    // The shown columns' logical indexes in their current order.
    std::vector<int> columnOrder() const;

    // At the first start, with no stored layout: the title and keyword columns take what the other
    // columns up to the mini chart leave of the viewport (elided, the whole text in the tool tip), so
    // that the preview and the mini chart show without scrolling; where too little is left, the mini
    // chart moves next to the preview. The columns follow the grid's width until the user moves or
    // resizes one.
    void fitColumnsToViewport();

    // One height for every row.
    int rowHeightSetting() const;
    void setRowHeightSetting(int height);

    // Makes the list's current row the grid's current row, leaving the selection alone.
    void followListRow(int row);
    // Moves to a row as the user would: it becomes current and the only selected row.
    void moveToRow(int row);

    // Selects every row of the list, also those not fetched yet, so that Ctrl+C after it copies all.
    void selectAll() override;

Q_SIGNALS:
    // The user has made another row current.
    void currentRowMoved(int row);
    // A drag of the selected rows has ended; the target is the widget that accepted the drop, or null.
    void dragEnded(QObject* target);

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    // Whole rows are current: a move brings the row into view without scrolling sideways.
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void applyColumnDefaults();
    int defaultColumnWidth(int column) const;
    int roomForTextColumns() const;
    void stopFittingColumns();
    void keepRowsUniform(int row, int oldHeight, int newHeight);
    void updatePrefetch();
    void moveToLastRow();
    void startDrag();
    void openFindDialog();
    void copySelectedRows();

    PictureListModel* model_ = nullptr;
    SortMarkerHeader* titles_;
    QSet<int> cellTips_;
    bool followingList_ = false;
    bool fittingColumns_ = false;
    bool changingColumns_ = false;
    // A press on a selected row that may become a drag.
    std::optional<QPoint> dragStart_;
};

} // namespace browser
