#pragma once

#include <QPoint>
#include <QTreeWidget>

#include <vector>

#include "browser/folder_tree.h"

namespace browser {

// What the folder tree asks of its owner while the user works in it.
class FolderTreeEvents
{
public:
    virtual ~FolderTreeEvents() = default;
    // In-place editing of the selected title is about to begin; false cancels it.
    virtual bool tvFoldersEditing() = 0;
    // An edit was accepted; false keeps the old title (the change could not be stored).
    virtual bool tvFoldersEdited(QTreeWidgetItem* node, const QString& newTitle) = 0;
    // A key pressed in the tree (not in its title editor), before the tree handles it.
    virtual void tvFoldersKeyDown(int key, Qt::KeyboardModifiers modifiers) = 0;
    // Whether picture rows may be dropped on this node (null over empty space).
    virtual bool tvFoldersDragOver(QTreeWidgetItem* node) = 0;
};

// The folder tree: one node per folder, its id as the node's data; closed and open folder pictures;
// titles edited in place; picture rows dropped onto a node.
class FolderTreeView : public QTreeWidget
{
    Q_OBJECT

public:
    explicit FolderTreeView(QWidget* parent = nullptr);

    void setEvents(FolderTreeEvents* events) { events_ = events; }

    static int nodeId(const QTreeWidgetItem* node);
    // Replaces every node with the built tree, drawing frozen meanwhile; the selection is cleared.
    void showFolders(const std::vector<FolderNode>& nodes);
    // Selects the first node with this id in tree order (collapsed branches included); false when
    // there is none, leaving the selection alone.
    bool SelectFolderNode(int id);
    QTreeWidgetItem* selectedNode() const;
    // The node under a point of the viewport, null over empty space.
    QTreeWidgetItem* nodeAt(const QPoint& point) const { return itemAt(point); }
    // Where the last drop of picture rows landed, in the viewport's coordinates.
    QPoint lastDropPoint() const { return lastDropPoint_; }
    // Opens the title editor on the selected node.
    void editSelectedTitle();

protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    friend class FolderTitleDelegate;
    bool acceptEditedTitle(QTreeWidgetItem* node, const QString& title);
    void updateFolderPicture(QTreeWidgetItem* node);
    bool acceptsDrop(QDropEvent* event) const;

    FolderTreeEvents* events_ = nullptr;
    QPoint lastDropPoint_;
};

} // namespace browser
