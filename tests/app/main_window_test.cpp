// The main window: its menu, its named regions and controls in their design states, the first show
// and the default button.

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "analytics/analytics_window.h"
#include "app/main_window.h"
#include "browser/folder_panel.h"
#include "browser/folder_tree_view.h"
#include "browser/picture_fields.h"
#include "browser/picture_grid.h"
#include "browser/sales_strip_box.h"
#include "platform/click_label.h"
#include "platform/message_box.h"
#include "tests/support/temp_database.h"

namespace {

QStringList captions(const QList<QAction*>& actions)
{
    QStringList texts;
    for (const QAction* action : actions)
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return texts;
}

// The names of a widget's named ancestors below the window, then its own: the path by which the
// settings file addresses a control.
QString namePath(const QWidget* widget)
{
    QStringList names;
    for (; widget && !widget->isWindow(); widget = widget->parentWidget())
        if (!widget->objectName().isEmpty())
            names.prepend(widget->objectName());
    return names.join(QLatin1Char('.'));
}

TEST(MainWindowMenu, HasTheOperationsChartAnalyticsAndHelpItems)
{
    app::TfmMain window(QStringLiteral("/opt/photoledger/"));
    EXPECT_EQ(window.objectName(), QStringLiteral("fmMain"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Список объектов"));
    EXPECT_EQ(window.size(), QSize(882, 584));
    EXPECT_EQ(window.AppDir, QStringLiteral("/opt/photoledger"));

    const QList<QAction*> top = window.menuBar()->actions();
    ASSERT_EQ(captions(top),
              QStringList({QStringLiteral("Операции"), QStringLiteral("График"), QStringLiteral("Аналитика"),
                           QStringLiteral("Помощь")}));
    ASSERT_NE(top[0]->menu(), nullptr);
    EXPECT_EQ(captions(top[0]->menu()->actions()),
              QStringList({QStringLiteral("Обновить статистику"), QStringLiteral("Пробелы"),
                           QStringLiteral("-"), QStringLiteral("Выход")}));
    EXPECT_EQ(top[0]->menu()->actions().first(), window.N3);
    EXPECT_EQ(top[0]->menu()->actions().last(), window.N2);
    EXPECT_EQ(top[1], window.N10);
    EXPECT_EQ(window.N10->menu(), nullptr);
    EXPECT_EQ(top[2], window.miAnalytics);
    EXPECT_EQ(window.miAnalytics->menu(), nullptr);
    ASSERT_NE(top[3]->menu(), nullptr);
    EXPECT_EQ(top[3]->menu()->actions(), QList<QAction*>({window.N101}));
    EXPECT_EQ(window.N101->text(), QStringLiteral("О программе"));
    for (const QAction* item : {window.N3, window.N2, window.N10, window.miAnalytics, window.N101})
        EXPECT_FALSE(item->objectName().isEmpty());
}

TEST(MainWindowLayout, NamesEveryRegionAndControlWhereTheSettingsFileLooksForIt)
{
    app::TfmMain window(QStringLiteral("/opt/photoledger"));
    const std::pair<const QWidget*, const char*> controls[] = {
        {window.pnLeft, "Panel1.pnLeft"},
        {window.tvFolders, "Panel1.pnLeft.tvFolders"},
        {window.picGrid, "Panel1.picGrid"},
        {window.EDBImage1, "Panel1.Panel3.EDBImage1"},
        {window.edFrom, "Panel1.Panel3.GroupBox1.Panel2.edFrom"},
        {window.edTill, "Panel1.Panel3.GroupBox1.Panel2.edTill"},
        {window.cbPeriod, "Panel1.Panel3.GroupBox1.Panel2.cbPeriod"},
        {window.Label4, "Panel1.Panel3.GroupBox1.Label4"},
        {window.edKeywords, "Panel1.Panel3.GroupBox1.edKeywords"},
        {window.Label5, "Panel1.Panel3.GroupBox1.Label5"},
        {window.chWithoutFirstDays, "Panel1.Panel3.GroupBox1.chWithoutFirstDays"},
        {window.chShowZero, "Panel1.Panel3.GroupBox1.chShowZero"},
        {window.chOnlyNew, "Panel1.Panel3.GroupBox1.chOnlyNew"},
        {window.Button2, "Panel1.Panel3.GroupBox1.Button2"},
        {window.lbCount, "Panel1.Panel3.lbCount"},
        {window.chNoFolder, "Panel1.Panel3.chNoFolder"},
        {window.pnBottom, "pnBottom"},
        {window.ScrollBox1, "pnBottom.ScrollBox1"},
        {window.Button1, "Button1"},
    };
    for (const auto& [control, path] : controls) {
        ASSERT_NE(control, nullptr) << path;
        EXPECT_EQ(namePath(control), QLatin1String(path));
        EXPECT_EQ(window.findChild<QWidget*>(control->objectName()), control) << path << " is not unique";
    }
}

TEST(MainWindowLayout, ControlsStartInTheirDesignStates)
{
    app::TfmMain window(QStringLiteral("/opt/photoledger"));
    EXPECT_EQ(window.GroupBox1->title(), QStringLiteral(" Фильтр "));
    EXPECT_EQ(window.edFrom->dateTime(), QDateTime(QDate(2005, 1, 1), QTime(14, 39, 26)));
    EXPECT_EQ(window.edTill->dateTime(), QDateTime(QDate(2010, 1, 1), QTime(14, 39, 26)));
    EXPECT_EQ(window.edFrom->text(), QStringLiteral("01.01.2005"));
    EXPECT_EQ(window.cbPeriod->currentIndex(), -1);
    EXPECT_EQ(window.cbPeriod->count(), 9);
    EXPECT_FALSE(window.cbPeriod->isEditable());
    EXPECT_TRUE(window.edKeywords->text().isEmpty());
    EXPECT_EQ(window.Label4->toolTip(), QStringLiteral("через запятую, знак \"минус\" - невхождение слова"));
    EXPECT_EQ(window.Label5->text(), QStringLiteral("очистить"));

    const std::tuple<QCheckBox*, const char*, bool> boxes[] = {
        {window.chWithoutFirstDays, "график с начала", true},
        {window.chShowZero, "0-е продажи", false},
        {window.chOnlyNew, "только новое", false},
        {window.chNoFolder, "без папок", false},
    };
    for (const auto& [box, caption, checked] : boxes) {
        EXPECT_EQ(box->text(), QString::fromUtf8(caption));
        EXPECT_EQ(box->isChecked(), checked) << caption;
    }

    EXPECT_EQ(window.Button2->text(), QStringLiteral("Применить"));
    EXPECT_TRUE(window.Button2->isDefault());
    EXPECT_EQ(window.lbCount->text(), QStringLiteral("?"));
    EXPECT_TRUE(window.Button1->isHidden());
    EXPECT_EQ(window.CurrentFolderId, 0);
    EXPECT_EQ(window.CurrentPictureId, 0);
    EXPECT_TRUE(window.SelectedIds.isEmpty());
    EXPECT_TRUE(window.DiagramTokens.isEmpty());
}

class ShownMainWindowTest : public test_support::DatabaseTest
{
protected:
    ShownMainWindowTest() { window.joinDataModule(dm()); }

    platform::MessageBoxRecorder boxes;
    app::TfmMain window{db.appDir()};
};

TEST_F(ShownMainWindowTest, RegionsHaveTheirDesignSizes)
{
    window.show();
    EXPECT_EQ(window.pnLeft->width(), 145);
    EXPECT_EQ(window.Panel3->width(), 118);
    EXPECT_EQ(window.EDBImage1->size(), QSize(113, 113));
    EXPECT_EQ(window.pnBottom->height(), 82);
    EXPECT_EQ(window.picGrid->x() - window.pnLeft->geometry().right() - 1, 5) << "the folder splitter";
    EXPECT_EQ(window.Panel3->mapTo(&window, QPoint(0, 0)).x() + 118, window.width()) << "right edge";
    EXPECT_TRUE(boxes.requests().empty());
}

TEST_F(ShownMainWindowTest, FirstShowClearsStartingAndConnects)
{
    dm().IBDatabase1.close();
    data::Starting = 1;
    window.show();
    EXPECT_EQ(data::Starting, 0);
    EXPECT_TRUE(dm().IBDatabase1.connected());
    EXPECT_TRUE(dm().Transaction.inTransaction());
    EXPECT_TRUE(boxes.requests().empty());
}

TEST_F(ShownMainWindowTest, FirstStartShowsAllTimeLoadsTheFolderTreeAndOpensTheList)
{
    window.show();
    EXPECT_EQ(window.cbPeriod->currentText(), QStringLiteral("за все время"));
    EXPECT_EQ(window.edFrom->date(), QDate(2005, 1, 1));
    EXPECT_EQ(window.edTill->date(), QDate::currentDate());
    EXPECT_EQ(window.tvFolders->topLevelItemCount(), 2);
    EXPECT_EQ(window.CurrentFolderId, -1) << "the whole portfolio first";
    EXPECT_TRUE(dm().qrPictureInfo.isOpen());
    const QByteArray period = "SALES_INFO(-1, '01.01.2005', '" + data::formatDate(QDate::currentDate()) + "')";
    EXPECT_TRUE(dm().qrPictureInfo.text().contains(period)) << dm().qrPictureInfo.text().constData();
    EXPECT_EQ(window.lbCount->text(), QStringLiteral("0"));
    EXPECT_TRUE(boxes.requests().empty());
}

TEST_F(ShownMainWindowTest, AnalyticsOpenBesideTheListAndABatchChosenThereFillsIt)
{
    for (const char* values : {"1, 42", "2, 42", "3, 43"})
        db.execute(QByteArray("insert into PICTURES (ID, IDBATCH) values (") + values + ")");
    db.execute("insert into SALES (ID, IDPICTURE, \"COUNT\", SALE_DATE) values (1, 1, 2, '10.03.2010')");
    window.show();
    window.miAnalytics->trigger();
    ASSERT_NE(window.fmAnalytics, nullptr);
    EXPECT_TRUE(window.fmAnalytics->isVisible());
    EXPECT_FALSE(window.fmAnalytics->isModal());
    EXPECT_EQ(window.fmAnalytics->period().from, window.edFrom->date());
    EXPECT_EQ(window.fmAnalytics->period().till, window.edTill->date());

    Q_EMIT window.fmAnalytics->batchChosen(42, QDate(2010, 1, 1), QDate(2010, 12, 31));
    EXPECT_EQ(window.edFrom->date(), QDate(2010, 1, 1));
    EXPECT_EQ(window.CurrentFolderId, -1);
    dm().qrPictureInfo.fetchAll();
    EXPECT_EQ(dm().qrPictureInfo.recordCount(), 2) << "the unsold picture of the batch too";
    EXPECT_EQ(window.lbCount->text(), QStringLiteral("партия 42: 2"));

    window.tvFolders->setCurrentItem(window.tvFolders->topLevelItem(1));
    window.tvFolders->setCurrentItem(window.tvFolders->topLevelItem(0));
    EXPECT_EQ(window.CurrentFolderId, -1);
    EXPECT_FALSE(dm().qrPictureInfo.text().contains("IDBATCH =")) << "another folder ended the batch";
    EXPECT_TRUE(boxes.requests().empty());
}

TEST_F(ShownMainWindowTest, TheDailyStripShowsTheFirstRowsDaysAndKeepsItsRoomAtTheBottom)
{
    db.execute("insert into PICTURES (ID, TITLE) values (3000000001, 'Large id')");
    db.execute("insert into SALES (ID, IDPICTURE, \"COUNT\", \"SUM\", SALE_DATE) values (1, 3000000001, 2, 1, '" +
               data::formatDate(QDate::currentDate().addDays(-3)) + "')");
    window.show();
    window.folderPanel->SelectFolderNode(-1);
    ASSERT_EQ(window.CurrentPictureId, 3000000001);
    // The day sold and the days stored after it, up to the last stored day: that day itself.
    EXPECT_EQ(window.ScrollBox1->range(), 1 * 8 + 30);
    const QImage strip = window.ScrollBox1->Image1->grab().toImage();
    EXPECT_EQ(strip.pixelColor(23, strip.height() - 4), QColor(255, 0, 0));

    window.pnBottom->window()->resize(882, 300);
    EXPECT_GE(window.pnBottom->height(), browser::SalesStripBox::MinimumImageHeight);
    EXPECT_TRUE(boxes.requests().empty());
}

TEST_F(ShownMainWindowTest, MissingWindowsOpenNothingAndExitCloses)
{
    window.show();
    window.N3->trigger();
    window.N10->trigger();
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(boxes.requests().empty());

    window.N2->trigger();
    EXPECT_FALSE(window.isVisible());
}

TEST_F(ShownMainWindowTest, EnterInTheKeywordBoxPressesApply)
{
    int applied = 0;
    QObject::connect(window.Button2, &QPushButton::clicked, [&] { ++applied; });
    window.show();
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(window.edKeywords, &enter);
    QKeyEvent letter(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QApplication::sendEvent(window.edKeywords, &letter);
    EXPECT_EQ(applied, 1);
    EXPECT_EQ(window.edKeywords->text(), QStringLiteral("a"));
}

// The grid's columns of the preview and the mini chart as offsets in its viewport: left and right edges.
std::pair<int, int> columnSpan(const browser::PictureGrid& grid, int column)
{
    const int left = grid.columnViewportPosition(column);
    return {left, left + grid.columnWidth(column)};
}

// CTest runs this on offscreen screens of 1366×768 and 1920×1080, with a list long enough for a
// vertical scroll bar: the first start shows the preview and the mini chart without scrolling, the
// stored layout of a later start stays as it was stored.
TEST_F(ShownMainWindowTest, FirstStartShowsThePreviewAndMiniChartAndAStoredLayoutStays)
{
    const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
    if (screen.width() < 1366 || screen.height() < 768)
        GTEST_SKIP() << "a screen of 1366×768 or more";
    db.execute("execute block as declare i integer = 1; begin while (i <= 60) do begin "
               "insert into PICTURES (ID, TITLE) values (:i, 'A long title that goes on and on ' || :i); "
               "insert into SALES (ID, IDPICTURE, \"COUNT\", SALE_DATE) "
               "values (gen_id(GEN_SALES_ID, 1), :i, 1, '15.03.2010'); i = i + 1; end end");
    for (const bool stored : {false, true}) {
        app::TfmMain shown(db.appDir());
        shown.joinDataModule(dm());
        shown.show();
        browser::PictureGrid& grid = *shown.picGrid;
        ASSERT_TRUE(grid.verticalScrollBar()->isVisible());
        if (!stored) {
            for (const int column : {browser::ColImage, browser::ColDiagram}) {
                const auto [left, right] = columnSpan(grid, column);
                EXPECT_GE(left, 0) << column;
                EXPECT_LE(right, grid.viewport()->width()) << column << " on " << screen.width();
            }
            EXPECT_EQ(grid.textElideMode(), Qt::ElideRight);
            EXPECT_EQ(
                grid.model()->data(grid.model()->index(0, browser::ColTitle), Qt::ToolTipRole).toString(),
                grid.model()->data(grid.model()->index(0, browser::ColTitle)).toString());
            grid.setColumnWidth(browser::ColTitle, 900); // as the user drags it wider
            shown.close();
            continue;
        }
        EXPECT_EQ(grid.columnWidth(browser::ColTitle), 900);
        shown.resize(shown.size() - QSize(100, 0));
        EXPECT_EQ(grid.columnWidth(browser::ColTitle), 900) << "the stored layout does not follow the window";
        EXPECT_GT(columnSpan(grid, browser::ColDiagram).second, grid.viewport()->width());
    }
    EXPECT_TRUE(boxes.requests().empty());
}

} // namespace
