#pragma once

#include <QObject>

#include "browser/browser_state.h"
#include "browser/folder_tree_view.h"

class QAction;
class QCheckBox;
class QMenu;

namespace data {
class Tdm;
} // namespace data

namespace browser {

class PictureGrid;
class PictureListPanel;

// The folder tree of the main window: loading it from SHOW_TREE, the folder commands of its menu and
// keys, renaming in place, and moving the selected pictures by dragging their rows onto a folder.
class FolderPanel : public QObject, public FolderTreeEvents
{
    Q_OBJECT

public:
    FolderPanel(data::Tdm& dm, BrowserState& state, FolderTreeView* tree, PictureGrid* grid,
                QCheckBox* chNoFolder, PictureListPanel& list);

    // Reloads the whole tree and selects the current folder again, or the parent of the node that was
    // selected when the current folder is gone.
    void LoadFolderTree();
    bool SelectFolderNode(int id);
    void tvFoldersChange(QTreeWidgetItem* node);

    void acAddFolderExecute();
    void acEditFolderExecute();
    void acDeleteFolderExecute();
    void acUpdateFoldersExecute();

    bool tvFoldersEditing() override;
    bool tvFoldersEdited(QTreeWidgetItem* node, const QString& newTitle) override;
    void tvFoldersKeyDown(int key, Qt::KeyboardModifiers modifiers) override;
    bool tvFoldersDragOver(QTreeWidgetItem* node) override;
    // A drag of grid rows has ended on this target.
    void picGridEndDrag(QObject* target);

    // The ids of the selected rows, in list order, into SelectedIds; the current row is not moved.
    void CollectSelectedIds();
    QByteArray SelectedIdList();
    // Moves the selected pictures into the folder (the all-pictures entry: out of every folder) and
    // rebuilds the list of the folder that stays selected.
    void MovePicturesToFolder(int folderId);

    QAction* acAddFolder = nullptr;
    QAction* acEditFolder = nullptr;
    QAction* acDeleteFolder = nullptr;
    QAction* acUpdateFolders = nullptr;
    QMenu* pmFolderMenu = nullptr;

private:
    bool refusedForAllPictures();
    void expandSelectedNode();
    void buildFolderMenu();

    data::Tdm& dm_;
    BrowserState& state_;
    FolderTreeView* tree_;
    PictureGrid* grid_;
    QCheckBox* chNoFolder_;
    PictureListPanel& list_;
};

} // namespace browser
