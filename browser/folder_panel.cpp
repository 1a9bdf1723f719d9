#include "browser/folder_panel.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>

#include "browser/picture_grid.h"
#include "browser/picture_list_model.h"
#include "browser/picture_list_panel.h"
#include "data/dm.h"
#include "platform/handler_guard.h"
#include "platform/message_box.h"
#include "platform/win1251.h"

namespace browser {

namespace {

// Redraws the tree once when it goes out of scope, also after an error.
class FrozenDrawing
{
public:
    explicit FrozenDrawing(QWidget* widget) : widget_(widget) { widget_->setUpdatesEnabled(false); }
    ~FrozenDrawing() { widget_->setUpdatesEnabled(true); }
    FrozenDrawing(const FrozenDrawing&) = delete;
    FrozenDrawing& operator=(const FrozenDrawing&) = delete;

private:
    QWidget* widget_;
};

std::vector<FolderRow> readFolderRows(data::Query& query)
{
    std::vector<FolderRow> rows;
    for (; !query.eof(); query.next())
        rows.push_back({query.field("ID").asInt32(), platform::fromWin1251(query.field("TITLE").asText()),
                        query.field("LEVEL_NUM").asInt32()});
    return rows;
}

void showRefusal()
{
    platform::showMessageBox({QMessageBox::Critical, QStringLiteral("Error"),
                              QStringLiteral("Редактирование этой папки не предусмотрено"), QMessageBox::Ok,
                              QMessageBox::Ok});
}

bool confirmDelete()
{
    return platform::showMessageBox({QMessageBox::Warning, QStringLiteral("Удаление"),
                                     QStringLiteral("Удалить выбранную папку?"),
                                     QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel}) ==
           QMessageBox::Ok;
}

} // namespace

FolderPanel::FolderPanel(data::Tdm& dm, BrowserState& state, FolderTreeView* tree, PictureGrid* grid,
                         QCheckBox* chNoFolder, PictureListPanel& list)
    : QObject(tree), dm_(dm), state_(state), tree_(tree), grid_(grid), chNoFolder_(chNoFolder), list_(list)
{
    tree_->setEvents(this);
    buildFolderMenu();
    platform::connectGuarded(tree_, &QTreeWidget::currentItemChanged, this, &FolderPanel::tvFoldersChange);
    platform::connectGuarded(grid_, &PictureGrid::dragEnded, this, &FolderPanel::picGridEndDrag);
}

void FolderPanel::buildFolderMenu()
{
    const auto action = [this](const char* name, const QString& caption, void (FolderPanel::*handler)()) {
        auto* item = new QAction(caption, tree_);
        item->setObjectName(QLatin1String(name));
        platform::connectGuarded(item, &QAction::triggered, this, handler);
        return item;
    };
    acAddFolder = action("acAddFolder", QStringLiteral("Добавить"), &FolderPanel::acAddFolderExecute);
    acEditFolder = action("acEditFolder", QStringLiteral("Редактировать"), &FolderPanel::acEditFolderExecute);
    acDeleteFolder = action("acDeleteFolder", QStringLiteral("Удалить"), &FolderPanel::acDeleteFolderExecute);
    acUpdateFolders = action("acUpdateFolders", QStringLiteral("Обновить"), &FolderPanel::acUpdateFoldersExecute);
    pmFolderMenu = new QMenu(tree_);
    pmFolderMenu->setObjectName(QStringLiteral("pmFolderMenu"));
    pmFolderMenu->addActions({acAddFolder, acEditFolder, acDeleteFolder});
    pmFolderMenu->addSeparator();
    pmFolderMenu->addAction(acUpdateFolders);
    tree_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(tree_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& point) { pmFolderMenu->popup(tree_->viewport()->mapToGlobal(point)); });
}

void FolderPanel::LoadFolderTree()
{
    QTreeWidgetItem* selected = tree_->currentItem();
    const int parentId = selected && selected->parent() ? FolderTreeView::nodeId(selected->parent())
                                                        : AllPicturesFolderId;
    dm_.Transaction.activate();
    dm_.Transaction.commit();
    data::Query& query = dm_.qrExecute;
    query.close();
    query.setText(loadFoldersStatement());
    query.open();
    const std::vector<FolderNode> nodes = buildFolderTree(readFolderRows(query));
    query.close();

    FrozenDrawing frozen(tree_);
    tree_->showFolders(nodes);
    if (!SelectFolderNode(state_.CurrentFolderId))
        SelectFolderNode(parentId);
}

bool FolderPanel::SelectFolderNode(int id)
{
    return tree_->SelectFolderNode(id);
}

void FolderPanel::tvFoldersChange(QTreeWidgetItem* node)
{
    if (!node)
        return;
    state_.CurrentFolderId = FolderTreeView::nodeId(node);
    chNoFolder_->setEnabled(state_.CurrentFolderId == AllPicturesFolderId);
    list_.RefreshPictureList(state_.CurrentFolderId);
}

bool FolderPanel::refusedForAllPictures()
{
    if (state_.CurrentFolderId != AllPicturesFolderId)
        return false;
    showRefusal();
    return true;
}

void FolderPanel::expandSelectedNode()
{
    if (QTreeWidgetItem* node = tree_->currentItem())
        node->setExpanded(true);
}

void FolderPanel::acAddFolderExecute()
{
    if (refusedForAllPictures())
        return;
    dm_.qrExecute.setText(addFolderStatement(state_.CurrentFolderId));
    dm_.qrExecute.execute();
    dm_.Transaction.activate();
    dm_.Transaction.commit();
    LoadFolderTree();
    expandSelectedNode();
}

void FolderPanel::acEditFolderExecute()
{
    if (!refusedForAllPictures())
        tree_->editSelectedTitle();
}

void FolderPanel::acDeleteFolderExecute()
{
    if (refusedForAllPictures() || !confirmDelete())
        return;
    dm_.qrExecute.close();
    dm_.qrExecute.setText(deleteFolderStatement(state_.CurrentFolderId));
    dm_.qrExecute.execute();
    dm_.Transaction.commit();
    LoadFolderTree();
    expandSelectedNode();
}

void FolderPanel::acUpdateFoldersExecute()
{
    LoadFolderTree();
}

bool FolderPanel::tvFoldersEditing()
{
    return !refusedForAllPictures();
}

bool FolderPanel::tvFoldersEdited(QTreeWidgetItem* node, const QString& newTitle)
{
    dm_.qrExecute.setText(renameFolderStatement(FolderTreeView::nodeId(node), newTitle));
    dm_.qrExecute.execute();
    dm_.Transaction.activate();
    dm_.Transaction.commit();
    // The commit has closed the list; show it again. The title is stored whatever the list does.
    platform::guarded([this] { list_.RefreshPictureList(state_.CurrentFolderId); });
    return true;
}

void FolderPanel::tvFoldersKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    if (modifiers & ~Qt::KeypadModifier)
        return;
    switch (key) {
    case Qt::Key_F2:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        acEditFolderExecute();
        break;
    case Qt::Key_Insert:
        acAddFolderExecute();
        break;
    case Qt::Key_Delete:
        acDeleteFolderExecute();
        break;
    case Qt::Key_F5:
        acUpdateFoldersExecute();
        break;
    default:
        break;
    }
}

bool FolderPanel::tvFoldersDragOver(QTreeWidgetItem* node)
{
    return node && FolderTreeView::nodeId(node) != state_.CurrentFolderId;
}

void FolderPanel::picGridEndDrag(QObject* target)
{
    if (target != tree_ && target != tree_->viewport())
        return;
    QTreeWidgetItem* node = tree_->nodeAt(tree_->lastDropPoint());
    if (node && FolderTreeView::nodeId(node) != state_.CurrentFolderId)
        MovePicturesToFolder(FolderTreeView::nodeId(node));
}

void FolderPanel::CollectSelectedIds()
{
    state_.SelectedIds.clear();
    const PictureListModel* model = list_.model();
    for (int row : grid_->selectedListRows())
        state_.SelectedIds.append(QString::fromLatin1(model->valueAt(row, ColIdPicture).asText()));
}

QByteArray FolderPanel::SelectedIdList()
{
    CollectSelectedIds();
    return joinIdList(state_.SelectedIds);
}

void FolderPanel::MovePicturesToFolder(int folderId)
{
    const QByteArray ids = SelectedIdList();
    if (ids.isEmpty())
        return;
    dm_.Transaction.activate();
    dm_.qrExecute.setText(movePicturesStatement(folderId, ids));
    dm_.qrExecute.execute();
    dm_.Transaction.commit();
    list_.RefreshPictureList(state_.CurrentFolderId);
}

} // namespace browser
