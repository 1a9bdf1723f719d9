#include "browser/folder_tree_view.h"

#include <QApplication>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTreeWidgetItemIterator>

#include "browser/picture_grid.h"
#include "browser/selection_look.h"
#include "platform/handler_guard.h"

namespace browser {

namespace {

constexpr int FolderIndent = 23;

bool isEnter(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

// Hands an accepted title to the tree's owner before it is shown, so that a title that cannot be
// stored keeps the old one.
class FolderTitleDelegate : public QStyledItemDelegate
{
public:
    explicit FolderTitleDelegate(FolderTreeView* tree) : QStyledItemDelegate(tree), tree_(tree) {}

    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override
    {
        const QString title = static_cast<QLineEdit*>(editor)->text();
        if (tree_->acceptEditedTitle(tree_->itemFromIndex(index), title))
            QStyledItemDelegate::setModelData(editor, model, index);
    }

private:
    FolderTreeView* tree_;
};

FolderTreeView::FolderTreeView(QWidget* parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setColumnCount(1);
    setIndentation(FolderIndent);
    setIconSize(QSize(16, 16));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::SelectedClicked);
    setItemDelegate(new FolderTitleDelegate(this));
    viewport()->setAcceptDrops(true);
    keepSelectionVisibleWithoutFocus(this);
    connect(this, &QTreeWidget::itemExpanded, this, &FolderTreeView::updateFolderPicture);
    connect(this, &QTreeWidget::itemCollapsed, this, &FolderTreeView::updateFolderPicture);
}

int FolderTreeView::nodeId(const QTreeWidgetItem* node)
{
    return node->data(0, Qt::UserRole).toInt();
}

void FolderTreeView::showFolders(const std::vector<FolderNode>& nodes)
{
    setUpdatesEnabled(false);
    clearSelection();
    clear();
    std::vector<QTreeWidgetItem*> items;
    items.reserve(nodes.size());
    for (const FolderNode& node : nodes) {
        auto* item = node.parent < 0 ? new QTreeWidgetItem(this)
                                     : new QTreeWidgetItem(items[static_cast<std::size_t>(node.parent)]);
        item->setText(0, node.title);
        item->setData(0, Qt::UserRole, node.id);
        item->setFlags(item->flags() | Qt::ItemIsEditable);
        items.push_back(item);
    }
    for (QTreeWidgetItem* item : items)
        updateFolderPicture(item);
    setUpdatesEnabled(true);
}

void FolderTreeView::updateFolderPicture(QTreeWidgetItem* node)
{
    const bool open = node->isExpanded() && node->childCount() > 0;
    node->setIcon(0, style()->standardIcon(open ? QStyle::SP_DirOpenIcon : QStyle::SP_DirClosedIcon));
}

bool FolderTreeView::SelectFolderNode(int id)
{
    for (QTreeWidgetItemIterator it(this); *it; ++it) {
        if (nodeId(*it) == id) {
            setCurrentItem(*it);
            return true;
        }
    }
    return false;
}

QTreeWidgetItem* FolderTreeView::selectedNode() const
{
    const QList<QTreeWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

void FolderTreeView::editSelectedTitle()
{
    if (QTreeWidgetItem* node = selectedNode())
        editItem(node);
}

bool FolderTreeView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    const bool opensEditor = trigger == QAbstractItemView::AllEditTriggers || (editTriggers() & trigger);
    if (!opensEditor || state() == QAbstractItemView::EditingState)
        return QTreeWidget::edit(index, trigger, event);
    bool allowed = false;
    platform::guarded([&] { allowed = !events_ || events_->tvFoldersEditing(); });
    return allowed && QTreeWidget::edit(index, trigger, event);
}

void FolderTreeView::mousePressEvent(QMouseEvent* event)
{
    // A click on empty space keeps the selected folder, and a right click only opens the folder menu.
    if (event->button() != Qt::RightButton && itemAt(event->position().toPoint()))
        QTreeWidget::mousePressEvent(event);
}

bool FolderTreeView::acceptEditedTitle(QTreeWidgetItem* node, const QString& title)
{
    bool accepted = false;
    platform::guarded([&] { accepted = !events_ || events_->tvFoldersEdited(node, title); });
    return accepted;
}

void FolderTreeView::keyPressEvent(QKeyEvent* event)
{
    if (events_)
        platform::guarded([&] { events_->tvFoldersKeyDown(event->key(), event->modifiers()); });
    QTreeWidget::keyPressEvent(event);
    // Enter belongs to the tree (it opens the title editor), not to the window's default button.
    if (isEnter(event->key()))
        event->accept();
}

bool FolderTreeView::acceptsDrop(QDropEvent* event) const
{
    if (!event->mimeData()->hasFormat(QString::fromLatin1(PictureGrid::DragFormat)))
        return false;
    QTreeWidgetItem* node = itemAt(event->position().toPoint());
    bool accepted = false;
    platform::guarded([&] { accepted = events_ && events_->tvFoldersDragOver(node); });
    return accepted;
}

void FolderTreeView::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasFormat(QString::fromLatin1(PictureGrid::DragFormat)))
        event->acceptProposedAction();
}

void FolderTreeView::dragMoveEvent(QDragMoveEvent* event)
{
    if (acceptsDrop(event))
        event->acceptProposedAction();
    else
        event->ignore();
}

void FolderTreeView::dropEvent(QDropEvent* event)
{
    if (!acceptsDrop(event)) {
        event->ignore();
        return;
    }
    lastDropPoint_ = event->position().toPoint();
    event->acceptProposedAction();
}

} // namespace browser
