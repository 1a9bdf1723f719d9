// The picture grid itself: hidden fields, one height for every row, clicks on selected rows, the find
// dialog and the title switches that a refresh sets.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

#include "browser/grid_find_dialog.h"
#include "browser/picture_list_model.h"
#include "browser/sort_marker_header.h"
#include "tests/browser/browser_harness.h"

namespace {

using browser_tests::clickAt;

// 30 pictures sold in March 2010, picture 1000 + i with i downloads and the title "P" + i.
class PictureGridTest : public browser_tests::BrowserHarness
{
protected:
    void SetUp() override
    {
        seed({"execute block as declare i integer = 1; begin while (i <= 30) do begin "
              "insert into PICTURES (ID, TITLE) values (1000 + :i, 'P' || :i); "
              "insert into SALES (ID, IDPICTURE, \"COUNT\", SALE_DATE) values (gen_id(GEN_SALES_ID, 1), 1000 + :i, "
              ":i, '15.03.2010'); i = i + 1; end end"});
        list->RefreshPictureList(-1);
    }

    QPoint rowCentre(int row)
    {
        return picGrid->visualRect(list->model()->index(row, browser::ColTitle)).center();
    }

    std::vector<int> selected() { return picGrid->selectedListRows(); }
};

TEST_F(PictureGridTest, HiddenFieldsHaveHiddenColumns)
{
    for (int column : {browser::ColIdFolder, browser::ColType, browser::ColIdBatch})
        EXPECT_TRUE(picGrid->isColumnHidden(column)) << column;
    EXPECT_FALSE(picGrid->isColumnHidden(browser::ColDiagram));
    EXPECT_GE(picGrid->columnWidth(browser::ColTitle), 5 * picGrid->columnWidth(browser::ColCountSales));
}

TEST_F(PictureGridTest, ResizingOneRowResizesThemAll)
{
    picGrid->verticalHeader()->resizeSection(3, 57);
    EXPECT_EQ(picGrid->rowHeightSetting(), 57);
    EXPECT_EQ(picGrid->rowHeight(0), 57);
    EXPECT_EQ(picGrid->rowHeight(10), 57);
    picGrid->setRowHeightSetting(40);
    EXPECT_EQ(picGrid->rowHeight(3), 40);
}

TEST_F(PictureGridTest, ClicksSelectOneRowAndCtrlClicksAddOrRemoveOne)
{
    clickAt(picGrid->viewport(), rowCentre(1));
    EXPECT_EQ(selected(), (std::vector<int>{1}));
    clickAt(picGrid->viewport(), rowCentre(4), Qt::ControlModifier);
    clickAt(picGrid->viewport(), rowCentre(6), Qt::ControlModifier);
    EXPECT_EQ(selected(), (std::vector<int>{1, 4, 6}));
    // A press on a selected row may start a drag; released in place it is an ordinary click.
    clickAt(picGrid->viewport(), rowCentre(4), Qt::ControlModifier);
    EXPECT_EQ(selected(), (std::vector<int>{1, 6}));
    clickAt(picGrid->viewport(), rowCentre(6));
    EXPECT_EQ(selected(), (std::vector<int>{6}));
    EXPECT_EQ(dm().qrPictureInfo.currentIndex(), 6);
}

TEST_F(PictureGridTest, ARightClickKeepsTheCurrentRowAndTheSelection)
{
    clickAt(picGrid->viewport(), rowCentre(1));
    browser_tests::clickAt(picGrid->viewport(), rowCentre(5), Qt::NoModifier, Qt::RightButton);
    EXPECT_EQ(selected(), (std::vector<int>{1}));
    EXPECT_EQ(dm().qrPictureInfo.currentIndex(), 1);
}

TEST_F(PictureGridTest, TheFindDialogMovesToTheNextRowMatchingInTheCurrentColumn)
{
    picGrid->setFocus();
    clickAt(picGrid->viewport(), rowCentre(0));
    browser_tests::pressKey(picGrid, Qt::Key_F, Qt::ControlModifier);
    auto* dialog = picGrid->findChild<browser::GridFindDialog*>();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(dialog->isVisible());
    dialog->findChild<QLineEdit*>()->setText(QStringLiteral("p2"));
    Q_EMIT dialog->findNext(dialog->text());
    // Most downloaded first: P30 on row 0, P29 on row 1.
    EXPECT_EQ(dm().qrPictureInfo.currentIndex(), 1);
    Q_EMIT dialog->findNext(dialog->text());
    EXPECT_EQ(dm().qrPictureInfo.currentIndex(), 2);
    dialog->findChild<QLineEdit*>()->setText(QStringLiteral("nothing like it"));
    Q_EMIT dialog->findNext(dialog->text());
    EXPECT_EQ(dm().qrPictureInfo.currentIndex(), 2);
}

TEST_F(PictureGridTest, ARefreshMakesTitlesButtonsExceptThePaintedOnes)
{
    browser::SortMarkerHeader* titles = picGrid->titles();
    EXPECT_TRUE(titles->isTitleButton(browser::ColTitle));
    EXPECT_TRUE(titles->isTitleButton(browser::ColMaxDls));
    EXPECT_FALSE(titles->isTitleButton(browser::ColImage));
    EXPECT_FALSE(titles->isTitleButton(browser::ColDiagram));
}

TEST_F(PictureGridTest, TheRestoredMarkerOrdersTheListAndSurvivesTheRefresh)
{
    picGrid->horizontalHeader()->moveSection(browser::ColTitle, 0);
    picGrid->titles()->setMarker(browser::ColTitle, browser::SortMarker::Ascending);
    list->RefreshPictureList(-1);
    EXPECT_TRUE(dm().qrPictureInfo.text().endsWith(" order by DECODE_HTML(TITLE)"));
    EXPECT_EQ(picGrid->titles()->marker(browser::ColTitle), browser::SortMarker::Ascending);
    EXPECT_EQ(list->model()->displayText(0, browser::ColTitle), QStringLiteral("P1"));
}

} // namespace
