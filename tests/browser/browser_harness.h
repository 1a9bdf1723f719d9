#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

#include <memory>

#include "browser/browser_state.h"
#include "browser/folder_panel.h"
#include "browser/folder_tree_view.h"
#include "browser/picture_grid.h"
#include "browser/picture_list_panel.h"
#include "tests/support/temp_database.h"

namespace browser_tests {

// The main window's browser controls on a window of their own, wired to a real temporary database
// as the main window wires them: the grid, the folder tree, the preview, the filter group and the
// count label, with the two panels over them.
class BrowserHarness : public test_support::DatabaseTest
{
protected:
    BrowserHarness();

    // Runs statements in one transaction and commits.
    void seed(std::initializer_list<QByteArray> statements);
    // Sets the period of both pickers.
    void setPeriod(QDate from, QDate till);
    // The grid's row of this picture id; -1 when the list does not show it.
    int rowOf(qint64 pictureId);
    QList<qint64> listedIds();

    QWidget window;
    browser::PictureGrid* picGrid;
    browser::FolderTreeView* tvFolders;
    QLabel* EDBImage1;
    QDateTimeEdit* edFrom;
    QDateTimeEdit* edTill;
    QComboBox* cbPeriod;
    QLineEdit* edKeywords;
    QCheckBox* chShowZero;
    QCheckBox* chOnlyNew;
    QCheckBox* chNoFolder;
    QLabel* lbCount;
    browser::BrowserState state;
    browser::PictureListPanel* list;
    browser::FolderPanel* folders;
};

// Mouse and key events as the user gives them.
void pressKey(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void clickAt(QWidget* widget, QPoint point, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
             Qt::MouseButton button = Qt::LeftButton);
// A click on a column title of the grid.
void clickTitle(browser::PictureGrid* grid, int column, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// The centre of a tree node in the tree's viewport.
QPoint nodeCentre(browser::FolderTreeView* tree, int folderId);
// Drops picture rows on a point of the tree's viewport; answers whether the tree accepted them.
bool dropOnTree(browser::FolderTreeView* tree, QPoint point);

} // namespace browser_tests
