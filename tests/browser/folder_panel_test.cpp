// The folder tree on a real database: loading and reselecting, the folder commands with their
// confirmation and refusals, keys, renaming in place, and moving pictures by dropping rows on a node.

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>

#include "browser/picture_list_model.h"
#include "data/dm.h"
#include "platform/handler_guard.h"
#include "platform/message_box.h"
#include "platform/win1251.h"
#include "tests/browser/browser_harness.h"

namespace {

using browser_tests::dropOnTree;
using browser_tests::nodeCentre;
using browser_tests::pressKey;

const QString Refusal = QStringLiteral("Редактирование этой папки не предусмотрено");

// Folders 5 "A" and 7 "B" under the starting folder 1 "Мои папки", 6 "A1" under 5; pictures 101-103 in folder 5 and 104 in folder 7,
// all sold in March 2010.
class FolderPanelTest : public browser_tests::BrowserHarness
{
protected:
    void SetUp() override
    {
        seed({"insert into FOLDERS (ID, IDPARENT, TITLE) values (5, 1, 'A')",
              "insert into FOLDERS (ID, IDPARENT, TITLE) values (6, 5, 'A1')",
              "insert into FOLDERS (ID, IDPARENT, TITLE) values (7, 1, 'B')",
              "execute block as declare i integer = 101; begin while (i <= 104) do begin "
              "insert into PICTURES (ID, IDFOLDER) values (:i, iif(:i = 104, 7, 5)); "
              "insert into SALES (ID, IDPICTURE, \"COUNT\", SALE_DATE) values (gen_id(GEN_SALES_ID, 1), :i, "
              ":i - 100, '10.03.2010'); i = i + 1; end end"});
        folders->LoadFolderTree();
    }

    QTreeWidgetItem* node(int id)
    {
        for (QTreeWidgetItemIterator it(tvFolders); *it; ++it)
            if (browser::FolderTreeView::nodeId(*it) == id)
                return *it;
        return nullptr;
    }

    // The open title editor of the selected node, null when none is open.
    QLineEdit* titleEditor() { return qobject_cast<QLineEdit*>(tvFolders->indexWidget(tvFolders->currentIndex())); }

    int parentOf(int id)
    {
        QTreeWidgetItem* parent = node(id)->parent();
        return parent ? browser::FolderTreeView::nodeId(parent) : -100;
    }

    QByteArray folderOf(int pictureId)
    {
        return db.rows("select IDFOLDER from PICTURES where ID = " + QByteArray::number(pictureId))[0][0];
    }

    void selectRows(std::initializer_list<int> rows)
    {
        picGrid->clearSelection();
        for (int row : rows)
            picGrid->selectionModel()->select(list->model()->index(row, 0),
                                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
};

// No folder has the id 0 that the first load looks for, so the whole portfolio shows first.
TEST_F(FolderPanelTest, LoadsTheTreeAndSelectsTheAllPicturesEntryFirst)
{
    EXPECT_EQ(tvFolders->topLevelItemCount(), 2);
    EXPECT_EQ(parentOf(-1), -100);
    EXPECT_EQ(parentOf(1), -100);
    EXPECT_EQ(parentOf(5), 1);
    EXPECT_EQ(parentOf(6), 5);
    EXPECT_EQ(parentOf(7), 1);
    EXPECT_EQ(state.CurrentFolderId, -1);
    EXPECT_EQ(browser::FolderTreeView::nodeId(tvFolders->currentItem()), -1);
    EXPECT_EQ(listedIds(), (QList<qint64>{104, 103, 102, 101}));
    EXPECT_TRUE(chNoFolder->isEnabled());
}

TEST_F(FolderPanelTest, UpdateKeepsTheFolderOrFallsBackToItsParent)
{
    ASSERT_TRUE(folders->SelectFolderNode(6));
    folders->acUpdateFoldersExecute();
    EXPECT_EQ(state.CurrentFolderId, 6);
    EXPECT_EQ(browser::FolderTreeView::nodeId(tvFolders->currentItem()), 6);

    seed({"delete from FOLDERS where ID = 6"});
    folders->acUpdateFoldersExecute();
    EXPECT_EQ(state.CurrentFolderId, 5);
    EXPECT_EQ(node(6), nullptr);
}

TEST_F(FolderPanelTest, AddPutsANewFolderUnderTheCurrentOneAndShowsIt)
{
    folders->SelectFolderNode(5);
    folders->acAddFolderExecute();
    const auto added = db.rows("select TITLE from FOLDERS where IDPARENT = 5 and ID <> 6");
    ASSERT_EQ(added.size(), 1u);
    EXPECT_EQ(platform::fromWin1251(added[0][0]), QStringLiteral("Новая папка"));
    EXPECT_EQ(state.CurrentFolderId, 5);
    EXPECT_TRUE(node(5)->isExpanded());
    EXPECT_EQ(node(5)->childCount(), 2);
}

TEST_F(FolderPanelTest, DeleteAsksFirstAndThenSelectsTheParent)
{
    folders->SelectFolderNode(6);
    platform::MessageBoxRecorder boxes;
    boxes.queueAnswer(QMessageBox::Cancel);
    folders->acDeleteFolderExecute();
    ASSERT_EQ(boxes.requests().size(), 1u);
    const platform::MessageBoxRequest& asked = boxes.requests()[0];
    EXPECT_EQ(asked.caption, QStringLiteral("Удаление"));
    EXPECT_EQ(asked.text, QStringLiteral("Удалить выбранную папку?"));
    EXPECT_EQ(asked.icon, QMessageBox::Warning);
    EXPECT_EQ(asked.buttons, QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(asked.defaultButton, QMessageBox::Cancel);
    EXPECT_NE(node(6), nullptr);

    boxes.queueAnswer(QMessageBox::Ok);
    folders->acDeleteFolderExecute();
    EXPECT_EQ(node(6), nullptr);
    EXPECT_EQ(state.CurrentFolderId, 5);
    EXPECT_TRUE(db.rows("select ID from FOLDERS where ID = 6").empty());
}

TEST_F(FolderPanelTest, TheAllPicturesEntryRefusesEveryChange)
{
    folders->SelectFolderNode(-1);
    tvFolders->setFocus();
    platform::MessageBoxRecorder boxes;
    folders->acAddFolderExecute();
    folders->acEditFolderExecute();
    folders->acDeleteFolderExecute();
    for (int key : {Qt::Key_Insert, Qt::Key_Delete, Qt::Key_F2, Qt::Key_Return})
        pressKey(tvFolders, key);
    // Typing a letter only searches the tree.
    QKeyEvent letter(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QApplication::sendEvent(tvFolders, &letter);
    ASSERT_EQ(boxes.requests().size(), 7u);
    for (const platform::MessageBoxRequest& shown : boxes.requests()) {
        EXPECT_EQ(shown.text, Refusal);
        EXPECT_EQ(shown.caption, QStringLiteral("Error"));
        EXPECT_EQ(shown.icon, QMessageBox::Critical);
        EXPECT_EQ(shown.buttons, QMessageBox::Ok);
    }
    EXPECT_EQ(db.rows("select count(*) from FOLDERS")[0][0], "5");
    EXPECT_EQ(titleEditor(), nullptr);
}

TEST_F(FolderPanelTest, KeysWithAModifierDoNothingAndF5Reloads)
{
    folders->SelectFolderNode(6);
    platform::MessageBoxRecorder boxes;
    pressKey(tvFolders, Qt::Key_Delete, Qt::ControlModifier);
    pressKey(tvFolders, Qt::Key_Insert, Qt::ShiftModifier);
    pressKey(tvFolders, Qt::Key_F5, Qt::ShiftModifier);
    EXPECT_TRUE(boxes.requests().empty());
    EXPECT_EQ(db.rows("select count(*) from FOLDERS")[0][0], "5");

    seed({"insert into FOLDERS (ID, IDPARENT, TITLE) values (9, 1, 'C')"});
    pressKey(tvFolders, Qt::Key_F5);
    EXPECT_NE(node(9), nullptr);
    EXPECT_EQ(state.CurrentFolderId, 6);
}

TEST_F(FolderPanelTest, EnterOpensTheTitleEditorWhichAcceptsWithEnter)
{
    folders->SelectFolderNode(5);
    tvFolders->setFocus();
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(tvFolders, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QLineEdit* editor = titleEditor();
    ASSERT_NE(editor, nullptr);
    editor->setText(QStringLiteral("Children's"));
    pressKey(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(db.rows("select TITLE from FOLDERS where ID = 5")[0][0], "Children's");
    EXPECT_EQ(node(5)->text(0), QStringLiteral("Children's"));
    // The commit closed the list; the rename shows it again.
    EXPECT_TRUE(dm().qrPictureInfo.isOpen());
}

TEST_F(FolderPanelTest, RenamingATopLevelFolderIsStored)
{
    folders->SelectFolderNode(1);
    EXPECT_TRUE(folders->tvFoldersEdited(node(1), QStringLiteral("Мои работы")));
    folders->acUpdateFoldersExecute();
    EXPECT_EQ(node(1)->text(0), QStringLiteral("Мои работы"));
}

TEST_F(FolderPanelTest, ARenameTheDatabaseRejectsKeepsTheOldTitle)
{
    folders->SelectFolderNode(5);
    QStringList errors;
    platform::ErrorReporter previous = platform::setErrorReporter([&](const QString& e) { errors << e; });
    tvFolders->editSelectedTitle();
    QLineEdit* editor = titleEditor();
    ASSERT_NE(editor, nullptr);
    editor->setText(QString(300, QLatin1Char('x')));
    pressKey(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
    platform::setErrorReporter(previous);
    EXPECT_EQ(errors.size(), 1);
    EXPECT_EQ(node(5)->text(0), QStringLiteral("A"));
    EXPECT_EQ(db.rows("select TITLE from FOLDERS where ID = 5")[0][0], "A");
}

TEST_F(FolderPanelTest, DroppingRowsOnAFolderMovesThemAndKeepsTheCurrentFolder)
{
    folders->SelectFolderNode(5);
    ASSERT_EQ(listedIds(), (QList<qint64>{103, 102, 101}));
    selectRows({0, 1, 2});
    ASSERT_TRUE(dropOnTree(tvFolders, nodeCentre(tvFolders, 7)));
    folders->picGridEndDrag(tvFolders->viewport());
    for (int id : {101, 102, 103})
        EXPECT_EQ(folderOf(id), "7");
    EXPECT_EQ(state.CurrentFolderId, 5);
    EXPECT_TRUE(listedIds().isEmpty());
    EXPECT_EQ(state.SelectedIds, (QStringList{QStringLiteral("103"), QStringLiteral("102"), QStringLiteral("101")}));
}

TEST_F(FolderPanelTest, DroppingRowsOnTheAllPicturesEntryTakesThemOutOfEveryFolder)
{
    folders->SelectFolderNode(5);
    selectRows({0, 2});
    ASSERT_TRUE(dropOnTree(tvFolders, nodeCentre(tvFolders, -1)));
    folders->picGridEndDrag(tvFolders->viewport());
    EXPECT_EQ(folderOf(103), "");
    EXPECT_EQ(folderOf(101), "");
    EXPECT_EQ(folderOf(102), "5");
    EXPECT_EQ(listedIds(), (QList<qint64>{102}));
}

TEST_F(FolderPanelTest, DropsOnTheCurrentFolderOrOnEmptySpaceAreRefused)
{
    folders->SelectFolderNode(5);
    selectRows({0});
    EXPECT_FALSE(dropOnTree(tvFolders, nodeCentre(tvFolders, 5)));
    EXPECT_FALSE(dropOnTree(tvFolders, QPoint(5, tvFolders->viewport()->height() - 2)));
    folders->picGridEndDrag(picGrid->viewport());
    EXPECT_EQ(folderOf(103), "5");
}

TEST_F(FolderPanelTest, AMoveTakesTheSelectedRowsNotTheCurrentOne)
{
    folders->SelectFolderNode(5);
    picGrid->moveToRow(0);
    selectRows({2});
    folders->MovePicturesToFolder(7);
    EXPECT_EQ(folderOf(101), "7");
    EXPECT_EQ(folderOf(103), "5");
    EXPECT_EQ(folderOf(102), "5");
}

// 105 is in no folder and 106 in folder 0, the top-level folder that older databases were made with; a
// tick left on "без папок" while a user folder is current does not filter that folder's list.
TEST_F(FolderPanelTest, NoFolderIsForTheAllPicturesEntryOnly)
{
    seed({"update or insert into FOLDERS (ID, IDPARENT, TITLE) values (0, null, 'Zero') matching (ID)",
          "insert into PICTURES (ID) values (105)", "insert into PICTURES (ID, IDFOLDER) values (106, 0)",
          "insert into SALES (ID, IDPICTURE, \"COUNT\", SALE_DATE) select gen_id(GEN_SALES_ID, 1), ID, 1, "
          "'10.03.2010' from PICTURES where ID in (105, 106)"});
    folders->LoadFolderTree();
    chNoFolder->setChecked(true);
    folders->SelectFolderNode(5);
    EXPECT_FALSE(chNoFolder->isEnabled());
    EXPECT_EQ(listedIds(), (QList<qint64>{103, 102, 101}));
    folders->SelectFolderNode(0);
    EXPECT_FALSE(chNoFolder->isEnabled());
    EXPECT_EQ(listedIds(), (QList<qint64>{106}));

    folders->SelectFolderNode(-1);
    EXPECT_TRUE(chNoFolder->isEnabled());
    EXPECT_EQ(listedIds(), (QList<qint64>{105}));
    chNoFolder->setChecked(false);
    list->chNoFolderClick();
    EXPECT_EQ(listedIds().size(), 6);
}

TEST_F(FolderPanelTest, ARightClickDoesNotSelectTheNodeUnderThePointer)
{
    folders->SelectFolderNode(7);
    browser_tests::clickAt(tvFolders->viewport(), nodeCentre(tvFolders, -1), Qt::NoModifier, Qt::RightButton);
    browser_tests::clickAt(tvFolders->viewport(), QPoint(5, tvFolders->viewport()->height() - 2));
    EXPECT_EQ(state.CurrentFolderId, 7);
    EXPECT_EQ(browser::FolderTreeView::nodeId(tvFolders->currentItem()), 7);
    EXPECT_TRUE(tvFolders->currentItem()->isSelected());
}

TEST_F(FolderPanelTest, TheFolderMenuHoldsTheFourCommands)
{
    QStringList captions;
    for (QAction* item : folders->pmFolderMenu->actions())
        captions << item->text();
    EXPECT_EQ(captions, (QStringList{QStringLiteral("Добавить"), QStringLiteral("Редактировать"),
                                     QStringLiteral("Удалить"), QString(), QStringLiteral("Обновить")}));
}

} // namespace
