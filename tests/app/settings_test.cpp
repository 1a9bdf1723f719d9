// Settings kept between runs in conf.ini: the window sections written and read back through real
// windows (offscreen), the grid's column layout, and what bad files and unwritable files do.

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTimer>

#include <csignal>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include "app/error_box.h"
#include "app/main_window.h"
#include "app/program.h"
#include "app/window_placement.h"
#include "app/window_settings.h"
#include "browser/folder_tree_view.h"
#include "browser/picture_fields.h"
#include "browser/picture_grid.h"
#include "browser/sort_marker_header.h"
#include "chart/graph_window.h"
#include "collect/explorer_window.h"
#include "data/dm.h"
#include "platform/click_label.h"
#include "platform/ini_file.h"
#include "platform/message_box.h"
#include "tests/support/temp_database.h"

namespace {

using browser::SortMarker;

// The keys of a section as "key=value", in file order.
QStringList sectionText(const QString& path, const QByteArray& section)
{
    const platform::IniFile file(path);
    QStringList lines;
    for (const QByteArray& key : file.keys(section))
        lines << QString::fromLatin1(key + '=' + file.value(section, key));
    return lines;
}

// The description stored in a window section, Line0, Line1, ... in the order of their numbers.
QStringList storedDescription(const QString& path, const QByteArray& section)
{
    const platform::IniFile file(path);
    QStringList lines;
    for (int i = 0; file.hasKey(section, "Line" + QByteArray::number(i)); ++i)
        lines << QStringLiteral("Line%1=").arg(i) + QString::fromLatin1(file.value(section, "Line" + QByteArray::number(i)));
    return lines;
}

// Line0=' ... ' keys from description lines.
QStringList lineKeys(const QStringList& description)
{
    QStringList lines;
    for (int i = 0; i < description.size(); ++i)
        lines << QStringLiteral("Line%1='%2'").arg(i).arg(description[i]);
    return lines;
}

void writeFile(const QString& path, const QByteArray& text)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray windowSection(const QByteArray& name, const QStringList& description)
{
    QByteArray text = '[' + name + "]\n";
    for (const QString& line : lineKeys(description))
        text += line.toLatin1() + '\n';
    return text;
}

// The main window's section with these values.
QStringList mainDescription(int height, int left, int top, int width, const char* showZero, const char* itemIndex,
                            int rowHeight, int folderWidth, int stripHeight)
{
    return {QStringLiteral("object fmMain: TfmMain"),
            QStringLiteral("  Height = %1").arg(height),
            QStringLiteral("  Left = %1").arg(left),
            QStringLiteral("  Top = %1").arg(top),
            QStringLiteral("  Width = %1").arg(width),
            QStringLiteral("  object Panel1: TPanel"),
            QStringLiteral("    object Panel3: TPanel"),
            QStringLiteral("      object GroupBox1: TGroupBox"),
            QStringLiteral("        object chShowZero: TCheckBox"),
            QStringLiteral("          Checked = %1").arg(QLatin1String(showZero)),
            QStringLiteral("        end"),
            QStringLiteral("        object chWithoutFirstDays: TCheckBox"),
            QStringLiteral("          Checked = True"),
            QStringLiteral("        end"),
            QStringLiteral("        object Panel2: TPanel"),
            QStringLiteral("          object cbPeriod: TComboBox"),
            QStringLiteral("            ItemIndex = %1").arg(QLatin1String(itemIndex)),
            QStringLiteral("          end"),
            QStringLiteral("        end"),
            QStringLiteral("      end"),
            QStringLiteral("    end"),
            QStringLiteral("    object picGrid: TDBGridEh"),
            QStringLiteral("      RowHeight = %1").arg(rowHeight),
            QStringLiteral("    end"),
            QStringLiteral("    object pnLeft: TPanel"),
            QStringLiteral("      Width = %1").arg(folderWidth),
            QStringLiteral("    end"),
            QStringLiteral("  end"),
            QStringLiteral("  object pnBottom: TPanel"),
            QStringLiteral("    Height = %1").arg(stripHeight),
            QStringLiteral("  end"),
            QStringLiteral("end")};
}

QString settingsPath(const QString& dir)
{
    return app::settingsFilePath(dir);
}

class SettingsTest : public test_support::DatabaseTest
{
protected:
    platform::MessageBoxRecorder boxes;
    QString path = settingsPath(db.appDir());

    std::unique_ptr<app::TfmMain> showMainWindow()
    {
        auto window = std::make_unique<app::TfmMain>(db.appDir());
        window->joinDataModule(dm());
        window->show();
        return window;
    }
};

TEST_F(SettingsTest, MainWindowSectionIsWrittenLineByLineAndReadBackAtTheNextStart)
{
    writeFile(path, "[Agency]\nHost=example.test\n[MainForm]\nLine30='  end'\nLine31='end'\nLine32='stale'\n"
                    "Line40='stale'\nOther=kept\n");
    {
        auto window = showMainWindow();
        window->setGeometry(40, 30, 700, 580);
        window->chShowZero->setChecked(true);
        window->cbPeriod->setCurrentIndex(3);
        window->picGrid->setRowHeightSetting(23);
        window->close();
    }
    ASSERT_EQ(boxes.requests().size(), 1u) << "a section of stale keys only, without Line0";
    EXPECT_EQ(boxes.requests()[0].text, QStringLiteral("Invalid stream format."));
    const QStringList expected = lineKeys(mainDescription(580, 40, 30, 700, "True", "3", 23, 145, 82));
    EXPECT_EQ(storedDescription(path, "MainForm").join(QLatin1Char('\n')).toStdString(),
              expected.join(QLatin1Char('\n')).toStdString());
    const QStringList keys = sectionText(path, "MainForm");
    EXPECT_FALSE(keys.contains(QStringLiteral("Line32='stale'")));
    EXPECT_TRUE(keys.contains(QStringLiteral("Line40='stale'"))) << "the stale keys end at the first missing number";
    EXPECT_TRUE(keys.contains(QStringLiteral("Other=kept")));
    EXPECT_EQ(sectionText(path, "Agency"), QStringList{QStringLiteral("Host=example.test")});
    EXPECT_EQ(platform::IniFile(path).sections(),
              (QByteArrayList{"Agency", "MainForm", "PicGrid"}));

    writeFile(path, windowSection("MainForm", mainDescription(580, 10, 20, 640, "True", "-1", 31, 200, 100)));
    auto window = showMainWindow();
    EXPECT_EQ(window->size(), QSize(640, 580));
    EXPECT_EQ(window->geometry().center(), window->screen()->availableGeometry().center()) << "always starts centred";
    EXPECT_TRUE(window->chShowZero->isChecked());
    EXPECT_EQ(window->cbPeriod->currentIndex(), -1) << "a stored 'no preset' stays";
    EXPECT_EQ(window->edFrom->date(), QDate(2005, 1, 1));
    EXPECT_EQ(window->picGrid->rowHeightSetting(), 31);
    EXPECT_EQ(window->pnLeft->width(), 200);
    EXPECT_EQ(window->pnBottom->height(), 100);
    EXPECT_EQ(boxes.requests().size(), 1u);
}

// A section that cannot be read whole, or holds values that cannot be applied: the message, the rest
// applied, and the first show carried to its end.
TEST_F(SettingsTest, BadStoredValuesAreReportedSkippedOrBoundedAndTheFirstShowGoesOn)
{
    const QByteArray missingLine =
        windowSection("MainForm", mainDescription(580, 10, 20, 640, "True", "2", 31, 200, 100))
            .replace("Line20='    end'\n", "");
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const struct
    {
        const char* name;
        QByteArray section;
        const char* message; // empty: no message
        int preset;
        QSize size; // width 0: the narrowest usable window
        int rowHeight;
        int stripHeight; // -1: bounded by the window, less 100
    } cases[] = {
        {"not a description", "[MainForm]\nLine0='\x01\x02garbage'\nLine1='end'\n", "Invalid stream format.",
         8, QSize(882, 584), -1, 82},
        {"bytes that are not text, so no section at all",
         QByteArray("\x00\xff\xfe\x01[Main\x00Form\n\x80\x81\n", 18), "", 8,
         app::firstStartSize(QSize(882, 584), screen.size()), -1, 82},
        {"index out of range",
         windowSection("MainForm", mainDescription(580, 10, 20, 640, "True", "99", 31, 200, 100)),
         "Line 16: value out of range: ItemIndex = 99", 8, QSize(640, 580), 31, 100},
        {"a check state that is a number",
         windowSection("MainForm", mainDescription(580, 10, 20, 640, "7", "2", 31, 200, 100)),
         "Line 9: invalid value: Checked = 7", 2, QSize(640, 580), 31, 100},
        {"numbers out of range",
         windowSection("MainForm", mainDescription(5000, -9000, 20, 0, "True", "2", -4, 200, 100000)), "", 2,
         QSize(0, screen.height()), 8, -1},
        {"a Line key missing in the middle", missingLine, "end expected", 2, QSize(640, 580), -1, 82},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::size_t before = boxes.requests().size();
        writeFile(path, "[Agency]\nHost=example.test\n" + c.section);
        data::Starting = 1;
        auto window = showMainWindow();
        ASSERT_EQ(boxes.requests().size() - before, *c.message ? 1u : 0u);
        if (*c.message) {
            EXPECT_TRUE(boxes.requests().back().text.contains(QLatin1String(c.message)))
                << boxes.requests().back().text.toStdString();
        }
        EXPECT_EQ(window->cbPeriod->currentIndex(), c.preset);
        const int width = c.size.width() ? c.size.width() : std::max(200, window->minimumSizeHint().width());
        EXPECT_EQ(window->size(), QSize(width, c.size.height()));
        if (c.rowHeight > 0)
            EXPECT_EQ(window->picGrid->rowHeightSetting(), c.rowHeight);
        if (c.stripHeight < 0)
            EXPECT_LE(window->pnBottom->height(), window->height() - 100);
        else
            EXPECT_EQ(window->pnBottom->height(), c.stripHeight);
        EXPECT_EQ(data::Starting, 0);
        EXPECT_EQ(window->tvFolders->topLevelItemCount(), 2) << "folder tree loaded";
        EXPECT_TRUE(dm().qrPictureInfo.isOpen()) << "list built";
        window->close();
        EXPECT_EQ(sectionText(path, "Agency"), QStringList{QStringLiteral("Host=example.test")});
        EXPECT_EQ(sectionText(path, "MainForm").size(), 32);
    }
}

TEST_F(SettingsTest, GridLayoutIsSavedInTheGridsOrderWithRealWidthsAndItsSortMarker)
{
    auto window = showMainWindow();
    browser::PictureGrid& grid = *window->picGrid;
    browser::SortMarkerHeader& titles = *grid.titles();
    titles.moveSection(titles.visualIndex(browser::ColTitle), 0);
    grid.setColumnWidth(browser::ColKeywords, 150);
    grid.setColumnWidth(browser::ColIdFolder, 33);
    titles.setMarker(browser::ColSumSales, SortMarker::Ascending);
    const int idWidth = grid.columnWidth(browser::ColIdPicture);
    window->close();

    const QStringList stored = sectionText(path, "PicGrid");
    ASSERT_EQ(stored.size(), browser::PictureColumnCount);
    EXPECT_EQ(stored[0].section(QLatin1Char('='), 0, 0), QStringLiteral("picGrid.TITLE"));
    EXPECT_EQ(stored[1], QStringLiteral("picGrid.IDPICTURE=1,%1,0,1,0,7,0").arg(idWidth));
    EXPECT_EQ(stored[2], QStringLiteral("picGrid.IDFOLDER=2,33,0,0,0,7,0")) << "hidden, with its real width";
    EXPECT_EQ(stored[4], QStringLiteral("picGrid.KEYWORDS=4,150,0,1,0,7,0"));
    const QString sumSales =
        QStringLiteral("picGrid.SUM_SALES=%1,").arg(titles.visualIndex(browser::ColSumSales));
    EXPECT_TRUE(stored[titles.visualIndex(browser::ColSumSales)].startsWith(sumSales))
        << stored.join(u' ').toStdString();
    EXPECT_TRUE(stored[titles.visualIndex(browser::ColSumSales)].endsWith(QStringLiteral(",2,1,1,7,0")));
}

TEST_F(SettingsTest, GridLayoutIsRestoredBeforeTheListIsBuiltInItsSortOrder)
{
    writeFile(path, "[PicGrid]\n"
                    "picGrid.IDPICTURE=3,90,0,1,0,7,0\n"
                    "picGrid.IDFOLDER=\n"
                    "picGrid.TITLE=0, 200 ,x,1,0,7,0\n"
                    "picGrid.KEYWORDS=1,abc\n"
                    "picGrid.IMAGE=2,-5,1,1,1,7,0\n"
                    "picGrid.COUNT_SALES=5,60,2,1,1,7,0\n"
                    "picGrid.SUM_SALES=4,70,1,1,0,7,0\n"
                    "picGrid.DIAGRAM=6,100,2\n");
    const int keywordsWidth = [&] {
        app::TfmMain fresh(db.appDir());
        fresh.joinDataModule(dm());
        return fresh.picGrid->columnWidth(browser::ColKeywords);
    }();
    auto window = showMainWindow();
    const browser::PictureGrid& grid = *window->picGrid;
    const browser::SortMarkerHeader& titles = *grid.titles();
    const int order[] = {browser::ColTitle,     browser::ColKeywords,   browser::ColImage,  browser::ColIdPicture,
                         browser::ColSumSales,  browser::ColCountSales, browser::ColDiagram};
    for (int position = 0; position < int(std::size(order)); ++position)
        EXPECT_EQ(titles.logicalIndex(position), order[position]) << position;
    const std::pair<int, int> widths[] = {{browser::ColIdPicture, 90}, {browser::ColTitle, 200},
                                          {browser::ColKeywords, keywordsWidth},
                                          {browser::ColImage, titles.minimumSectionSize()},
                                          {browser::ColCountSales, 60}, {browser::ColSumSales, 70},
                                          {browser::ColDiagram, 100}};
    for (const auto& [column, width] : widths)
        EXPECT_EQ(grid.columnWidth(column), width) << browser::pictureFields()[column].name;
    EXPECT_TRUE(grid.isColumnHidden(browser::ColIdFolder));
    EXPECT_EQ(titles.markedSection(), browser::ColCountSales) << "the column with the sort index keeps its marker";
    EXPECT_EQ(titles.marker(browser::ColCountSales), SortMarker::Ascending);
    const QByteArray statement = dm().qrPictureInfo.text();
    EXPECT_TRUE(statement.contains(" order by COUNT_SALES") && !statement.contains("COUNT_SALES desc"))
        << statement.constData();
    EXPECT_TRUE(boxes.requests().empty());
}

// The chart window's section, loaded at each showing and saved at each close of the program's
// chart window.
TEST(WindowSections, TheChartWindowsSectionFollowsEachShowingAndClose)
{
    test_support::TempDatabase db;
    const QString path = settingsPath(db.appDir());
    platform::MessageBoxRecorder boxes;
    app::Program program(db.appDir());
    auto& window = *static_cast<chart::TfmGraph*>(app::fmGraph);

    window.show();
    EXPECT_EQ(window.geometry().center(), window.screen()->availableGeometry().center()) << "centred at first";
    window.setGeometry(30, 40, 600, 300);
    chart::setLabelFontColor(window.lbOnDemand, QColor(1, 2, 3));
    window.hide();
    const QStringList expected = lineKeys({
        QStringLiteral("object fmGraph: TfmGraph"), QStringLiteral("  Height = 300"), QStringLiteral("  Left = 30"),
        QStringLiteral("  Top = 40"), QStringLiteral("  Width = 600"), QStringLiteral("  object ScrollBox1: TScrollBox"),
        QStringLiteral("    object Panel1: TPanel"), QStringLiteral("      object lbDownloads: TLabel"),
        QStringLiteral("        Font.Color = clGray"), QStringLiteral("      end"),
        QStringLiteral("      object lbEnhanced: TLabel"), QStringLiteral("        Font.Color = clWindowText"),
        QStringLiteral("      end"), QStringLiteral("      object lbOnDemand: TLabel"),
        QStringLiteral("        Font.Color = 197121"), QStringLiteral("      end"),
        QStringLiteral("      object lbSales: TLabel"), QStringLiteral("        Font.Color = clRed"),
        QStringLiteral("      end"), QStringLiteral("    end"), QStringLiteral("  end"), QStringLiteral("end")});
    EXPECT_EQ(sectionText(path, "GraphForm").join(QLatin1Char('\n')).toStdString(),
              expected.join(QLatin1Char('\n')).toStdString());

    // Another colour by name, and a place outside every screen.
    platform::IniFile file(path);
    file.setValue("GraphForm", "Line2", "'  Left = -5000'");
    file.setValue("GraphForm", "Line18", "'        Font.Color = clLime'");
    file.save();
    chart::setLabelFontColor(window.lbOnDemand, Qt::black);
    window.show();
    EXPECT_EQ(chart::labelFontColor(window.lbSales), QColor(0, 255, 0));
    EXPECT_EQ(chart::labelFontColor(window.lbOnDemand), QColor(1, 2, 3));
    EXPECT_EQ(window.currentLook().onDemand.color, QColor(1, 2, 3)) << "the series takes the stored colour";
    EXPECT_TRUE(window.screen()->availableGeometry().contains(window.geometry())) << "back on the screen";
    window.hide();
    EXPECT_TRUE(boxes.requests().empty());
}

TEST(WindowSections, TheCollectionWindowsSectionIsSixLinesAndLosesItsStaleKeys)
{
    QTemporaryDir dir;
    const QString path = settingsPath(dir.path());
    QByteArray stale = "[UpdateForm]\n";
    for (int i = 0; i <= 40; ++i)
        stale += "Line" + QByteArray::number(i) + "='  Left = " + QByteArray::number(i) + "'\n";
    writeFile(path, "[Agency]\nHost=example.test\n" + stale);
    collect::TfmExplorer explorer;
    app::WindowSettings settings(explorer, app::updateFormSection(), path);
    EXPECT_THROW(settings.load(), std::runtime_error) << "Invalid stream format.";
    explorer.setGeometry(10, 20, 717, 494);
    settings.save();
    EXPECT_EQ(sectionText(path, "UpdateForm"),
              lineKeys({QStringLiteral("object fmExplorer: TfmExplorer"), QStringLiteral("  Height = 494"),
                        QStringLiteral("  Left = 10"), QStringLiteral("  Top = 20"), QStringLiteral("  Width = 717"),
                        QStringLiteral("end")}));
    EXPECT_EQ(sectionText(path, "Agency"), QStringList{QStringLiteral("Host=example.test")});
}

TEST_F(SettingsTest, AFileThatCannotBeWrittenIsReportedOnceAndTheWindowStillCloses)
{
    const QString missingDir = db.appDir() + QStringLiteral("/missing");
    app::TfmMain window(missingDir);
    window.joinDataModule(dm());
    window.show();
    window.close();
    ASSERT_EQ(boxes.requests().size(), 1u);
    EXPECT_EQ(boxes.requests()[0].text.toStdString(),
              app::errorBoxText(QStringLiteral(u"Не удалось записать файл ") + settingsPath(missingDir))
                  .toStdString());
    EXPECT_FALSE(window.isVisible());
}

// A desktop session that ends (SIGTERM) or Ctrl+C (SIGINT) closes the program as the user's close
// does: on a first start the settings file is created with its three sections, the running
// transaction is committed, and the program ends with status 0.
TEST(ProgramEnd, ATerminationSignalSavesTheSettingsCommitsAndEndsNormally)
{
    // A signal may also come while a message box of start-up runs its own loop, before the program's.
    const struct
    {
        int signal;
        bool beforeTheEventLoop;
    } cases[] = {{SIGTERM, false}, {SIGINT, false}, {SIGTERM, true}};
    for (const auto [signal, beforeTheEventLoop] : cases) {
        SCOPED_TRACE(testing::Message() << signal << (beforeTheEventLoop ? " before the event loop" : ""));
        test_support::TempDatabase db;
        platform::MessageBoxRecorder boxes;
        int status = -1;
        {
            app::Program program(db.appDir());
            data::dm->qrExecute.setText("insert into CALENDAR (\"DATE\", WEEK_NUM, DOW) values ('01.01.2005', 53, 'x')");
            data::dm->qrExecute.execute();
            QObject guard;
            QTimer::singleShot(20000, &guard, [] { QCoreApplication::exit(2); });
            ::raise(signal);
            if (beforeTheEventLoop)
                QCoreApplication::processEvents();
            status = program.run();
            EXPECT_EQ(app::fmMain->cbPeriod->currentIndex(), 8);
        }
        EXPECT_EQ(status, 0);
        EXPECT_EQ(platform::IniFile(settingsPath(db.appDir())).sections(),
                  (QByteArrayList{"PicGrid", "MainForm", "UpdateForm"}));
        EXPECT_EQ(db.committedValue("select count(*) from CALENDAR"), 1);
        EXPECT_TRUE(boxes.requests().empty());
    }
}

// The first show ends at the database, before the grid's layout is restored: the stored layout is
// kept, not overwritten with the design widths.
TEST(ProgramEnd, AFirstShowThatEndedEarlyKeepsTheGridLayoutItNeverLoaded)
{
    QTemporaryDir dir;
    const QString path = settingsPath(dir.path());
    writeFile(path, "[PicGrid]\npicGrid.TITLE=0,300,2,1,1,7,0\n[Agency]\nHost=example.test\n");
    platform::MessageBoxRecorder boxes;
    {
        app::Program program(dir.path());
        app::fmMain->show();
        app::fmMain->close();
    }
    EXPECT_EQ(boxes.requests().size(), 2u) << "the database's message at start-up and at the first show";
    EXPECT_EQ(sectionText(path, "PicGrid"), QStringList{QStringLiteral("picGrid.TITLE=0,300,2,1,1,7,0")});
    EXPECT_EQ(platform::IniFile(path).sections(), (QByteArrayList{"PicGrid", "Agency", "MainForm", "UpdateForm"}));
}

// Without a database file, start-up and the first show each open a message box with its own loop. A
// signal that comes in the first closes it, and every later box as it opens; the program ends
// normally, saving the sections it loaded.
TEST(ProgramEnd, ASignalDuringTheMessageBoxesOfStartUpClosesThemAndEndsTheProgram)
{
    QTemporaryDir dir;
    int status = -1;
    {
        QObject context;
        QTimer::singleShot(0, &context, [] { ::raise(SIGTERM); });
        app::Program program(dir.path());
        status = program.run();
    }
    EXPECT_EQ(status, 0);
    EXPECT_EQ(platform::IniFile(settingsPath(dir.path())).sections(), (QByteArrayList{"MainForm", "UpdateForm"}));
}

} // namespace
