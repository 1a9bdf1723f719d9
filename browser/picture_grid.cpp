#include "browser/picture_grid.h"

#include <QApplication>
#include <QClipboard>
#include <QDrag>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollBar>

#include <algorithm>

#include "browser/column_fit.h"
#include "browser/grid_find_dialog.h"
#include "browser/picture_fields.h"
#include "browser/picture_list_export.h"
#include "browser/picture_list_model.h"
#include "browser/selection_look.h"
#include "browser/sort_marker_header.h"
#include "platform/handler_guard.h"

namespace browser {

const char* const PictureGrid::DragFormat = "application/x-photoledger-picture-rows";

namespace {

constexpr int CellPadding = 8;
constexpr int RowPadding = 4;
// The narrowest a fitted title or keyword column gets, in digits.
constexpr int MinimumTextDigits = 16;

// The drag cursor's picture: a few stacked rows, the sign of several items on the move.
QPixmap multipleItemsPixmap()
{
    QPixmap pixmap(24, 20);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    for (int i = 2; i >= 0; --i) {
        const QRect sheet(i * 3, (2 - i) * 3, 16, 12);
        painter.fillRect(sheet, Qt::white);
        painter.drawRect(sheet);
    }
    return pixmap;
}

} // namespace

PictureGrid::PictureGrid(QWidget* parent) : QTableView(parent), titles_(new SortMarkerHeader(this))
{
    setHorizontalHeader(titles_);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setShowGrid(true);
    setFrameShape(QFrame::Box);
    setWordWrap(false);
    viewport()->setAcceptDrops(true);

    QHeaderView* rows = verticalHeader();
    rows->setVisible(true);
    rows->setSectionResizeMode(QHeaderView::Interactive);
    rows->setMinimumSectionSize(4);
    rows->setDefaultSectionSize(fontMetrics().height() + RowPadding);
    connect(rows, &QHeaderView::sectionResized, this, &PictureGrid::keepRowsUniform);
    connect(titles_, &QHeaderView::sectionResized, this, &PictureGrid::stopFittingColumns);
    connect(titles_, &QHeaderView::sectionMoved, this, &PictureGrid::stopFittingColumns);

    keepSelectionVisibleWithoutFocus(this);
}

void PictureGrid::setPictureModel(PictureListModel* model)
{
    model_ = model;
    setModel(model);
    applyColumnDefaults();
    updatePrefetch();
}

void PictureGrid::applyColumnDefaults()
{
    for (int column = 0; column < static_cast<int>(pictureFields().size()); ++column) {
        setColumnHidden(column, !pictureFields()[static_cast<std::size_t>(column)].visible);
        setColumnWidth(column, defaultColumnWidth(column));
    }
}

// The field's display width in digits, never narrower than its title.
int PictureGrid::defaultColumnWidth(int column) const
{
    const PictureField& field = pictureFields()[static_cast<std::size_t>(column)];
    const int titleWidth = titles_->fontMetrics().horizontalAdvance(field.title) + 2 * CellPadding;
    return std::max(field.displayWidth * fontMetrics().horizontalAdvance(QLatin1Char('0')) + CellPadding,
                    titleWidth);
}

// The viewport's width less the shown columns other than the title and keywords, from the first one up
// to the mini chart.
int PictureGrid::roomForTextColumns() const
{
    int room = viewport()->width();
    for (int visual = 0; visual <= titles_->visualIndex(ColDiagram); ++visual) {
        const int logical = titles_->logicalIndex(visual);
        if (logical != ColTitle && logical != ColKeywords && !isColumnHidden(logical))
            room -= columnWidth(logical);
    }
    return room;
}

void PictureGrid::fitColumnsToViewport()
{
    const QScopedValueRollback changing(changingColumns_, true);
    fittingColumns_ = true;
    const int defaultWidth = defaultColumnWidth(ColTitle);
    const int minimumWidth = MinimumTextDigits * fontMetrics().horizontalAdvance(QLatin1Char('0'));
    std::optional<TextColumnWidths> widths = fitTextColumns(roomForTextColumns(), defaultWidth, minimumWidth);
    if (!widths && titles_->visualIndex(ColDiagram) != titles_->visualIndex(ColImage) + 1) {
        titles_->moveSection(titles_->visualIndex(ColDiagram), titles_->visualIndex(ColImage) + 1);
        widths = fitTextColumns(roomForTextColumns(), defaultWidth, minimumWidth);
    }
    const TextColumnWidths fitted = widths.value_or(TextColumnWidths{minimumWidth, minimumWidth});
    setColumnWidth(ColTitle, fitted.title);
    setColumnWidth(ColKeywords, fitted.keywords);
}

void PictureGrid::stopFittingColumns()
{
    if (!changingColumns_)
        fittingColumns_ = false;
}

std::optional<ColumnSort> PictureGrid::firstMarkedColumn(int* visualPosition) const
{
    for (int visual = 0; visual < titles_->count(); ++visual) {
        const int logical = titles_->logicalIndex(visual);
        const SortMarker marker = titles_->marker(logical);
        if (marker == SortMarker::None)
            continue;
        if (visualPosition)
            *visualPosition = visual;
        return ColumnSort{pictureFields()[static_cast<std::size_t>(logical)].name, marker};
    }
    return std::nullopt;
}

void PictureGrid::setCellTips(int logicalIndex, bool on)
{
    if (on)
        cellTips_.insert(logicalIndex);
    else
        cellTips_.remove(logicalIndex);
}

std::vector<int> PictureGrid::selectedListRows() const
{
    std::vector<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

std::vector<int> PictureGrid::columnOrder() const
{
    std::vector<int> order;
    for (int visual = 0; visual < titles_->count(); ++visual) {
        const int logical = titles_->logicalIndex(visual);
        if (!isColumnHidden(logical))
            order.push_back(logical);
    }
    return order;
}

int PictureGrid::rowHeightSetting() const
{
    return verticalHeader()->defaultSectionSize();
}

void PictureGrid::setRowHeightSetting(int height)
{
    verticalHeader()->setDefaultSectionSize(height);
    updatePrefetch();
}

void PictureGrid::keepRowsUniform(int, int, int newHeight)
{
    if (newHeight != verticalHeader()->defaultSectionSize())
        setRowHeightSetting(newHeight);
}

void PictureGrid::updatePrefetch()
{
    if (model_)
        model_->setPrefetchRows(viewport()->height() / std::max(1, rowHeightSetting()) + 1);
}

void PictureGrid::resizeEvent(QResizeEvent* event)
{
    QTableView::resizeEvent(event);
    updatePrefetch();
}

void PictureGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    if (!followingList_ && current.isValid() && current.row() != previous.row())
        Q_EMIT currentRowMoved(current.row());
}

void PictureGrid::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    const int sideways = horizontalScrollBar()->value();
    QTableView::scrollTo(index, hint);
    horizontalScrollBar()->setValue(sideways);
}

void PictureGrid::followListRow(int row)
{
    if (!model_ || row < 0 || row >= model_->rowCount())
        return;
    const int column = currentIndex().isValid() ? currentIndex().column() : titles_->logicalIndex(0);
    const QModelIndex target = model_->index(row, column);
    followingList_ = true;
    selectionModel()->setCurrentIndex(target, QItemSelectionModel::NoUpdate);
    followingList_ = false;
    scrollTo(target);
}

void PictureGrid::moveToRow(int row)
{
    if (!model_ || row < 0 || row >= model_->rowCount())
        return;
    const int column = currentIndex().isValid() ? currentIndex().column() : titles_->logicalIndex(0);
    setCurrentIndex(model_->index(row, column));
}

void PictureGrid::moveToLastRow()
{
    if (!model_)
        return;
    model_->fetchAll();
    moveToRow(model_->rowCount() - 1);
}

void PictureGrid::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_End && event->modifiers() == Qt::ControlModifier) {
        platform::guarded([this] { moveToLastRow(); });
        return;
    }
    if (event->matches(QKeySequence::Find)) {
        openFindDialog();
        return;
    }
    if (event->matches(QKeySequence::Copy)) {
        platform::guarded([this] { copySelectedRows(); });
        return;
    }
    QTableView::keyPressEvent(event);
}

// Puts the selected rows, or the current row when none is selected, on the clipboard as a spreadsheet
// takes them on paste: column titles first, the grid's column order, no painted columns.
void PictureGrid::copySelectedRows()
{
    std::vector<int> rows = selectedListRows();
    if (rows.empty() && currentIndex().isValid())
        rows.push_back(currentIndex().row());
    if (!model_ || rows.empty())
        return;
    const PictureListWriter writer(ListTextForm::Clipboard, exportedColumns(columnOrder()));
    QString text = writer.titleLine();
    for (int row : rows)
        text += writer.rowLine([&](PictureColumn column) -> const data::Value& { return model_->valueAt(row, column); });
    QApplication::clipboard()->setText(text);
}

void PictureGrid::selectAll()
{
    platform::guarded([this] {
        if (model_)
            model_->fetchAll();
        QTableView::selectAll();
    });
}

void PictureGrid::openFindDialog()
{
    auto* dialog = findChild<GridFindDialog*>();
    if (!dialog) {
        dialog = new GridFindDialog(this);
        connect(dialog, &GridFindDialog::findNext, this, [this, dialog](const QString& text) {
            platform::guarded([&] {
                const int column = currentIndex().isValid() ? currentIndex().column() : int(ColTitle);
                const int row = model_ ? model_->findRow(column, text, currentIndex().row() + 1) : -1;
                if (row < 0)
                    dialog->showNotFound();
                else
                    moveToRow(row);
            });
        });
    }
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

void PictureGrid::mousePressEvent(QMouseEvent* event)
{
    // A right click opens the pop-up menu for the current row and leaves the selection alone.
    if (event->button() == Qt::RightButton)
        return;
    const QModelIndex index = indexAt(event->position().toPoint());
    const bool onSelectedRow = index.isValid() && selectionModel()->isRowSelected(index.row());
    if (event->button() == Qt::LeftButton && !(event->modifiers() & Qt::ShiftModifier) && onSelectedRow) {
        dragStart_ = event->position().toPoint();
        return;
    }
    dragStart_.reset();
    QTableView::mousePressEvent(event);
}

void PictureGrid::mouseMoveEvent(QMouseEvent* event)
{
    if (!dragStart_) {
        QTableView::mouseMoveEvent(event);
        return;
    }
    if (!(event->buttons() & Qt::LeftButton))
        return;
    if ((event->position().toPoint() - *dragStart_).manhattanLength() >= QApplication::startDragDistance()) {
        dragStart_.reset();
        startDrag();
    }
}

void PictureGrid::mouseReleaseEvent(QMouseEvent* event)
{
    if (dragStart_) {
        // A press on a selected row that did not become a drag is an ordinary click.
        dragStart_.reset();
        QMouseEvent press(QEvent::MouseButtonPress, event->position(), event->globalPosition(), event->button(),
                          event->buttons() | event->button(), event->modifiers());
        QTableView::mousePressEvent(&press);
    }
    QTableView::mouseReleaseEvent(event);
}

void PictureGrid::startDrag()
{
    auto* drag = new QDrag(this);
    auto* mime = new QMimeData;
    mime->setData(QString::fromLatin1(DragFormat), QByteArray());
    drag->setMimeData(mime);
    drag->setPixmap(multipleItemsPixmap());
    drag->exec(Qt::MoveAction);
    Q_EMIT dragEnded(drag->target());
}

void PictureGrid::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasFormat(QString::fromLatin1(DragFormat)))
        event->acceptProposedAction();
}

void PictureGrid::dragMoveEvent(QDragMoveEvent* event)
{
    if (event->mimeData()->hasFormat(QString::fromLatin1(DragFormat)))
        event->acceptProposedAction();
}

void PictureGrid::dropEvent(QDropEvent* event)
{
    // Rows dropped back on the grid stay where they are.
    event->acceptProposedAction();
}

bool PictureGrid::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        const QModelIndex index = indexAt(static_cast<QHelpEvent*>(event)->pos());
        if (!index.isValid() || !cellTips_.contains(index.column())) {
            event->ignore();
            return true;
        }
    }
    if (event->type() == QEvent::Resize && fittingColumns_)
        fitColumnsToViewport();
    return QTableView::viewportEvent(event);
}

} // namespace browser
