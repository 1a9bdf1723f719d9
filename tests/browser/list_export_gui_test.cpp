// The list leaving the program from the main window: Ctrl+C in the grid and "Экспорт в CSV…" in its
// pop-up menu, with a failing file that leaves nothing half written.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <csignal>
#include <functional>

#include "browser/picture_list_model.h"
#include "browser/sort_marker_header.h"
#include "platform/file_dialog.h"
#include "platform/handler_guard.h"
#include "platform/message_box.h"
#include "tests/browser/browser_harness.h"

namespace {

using browser_tests::clickAt;

// 300 pictures sold on 15.03.2010: picture 1000 + i has i downloads, earned i / 2 and has the title
// "P" + i, so the list runs from picture 1300 down; the grid fetches only its first screen of them.
class ListExportGuiTest : public browser_tests::BrowserHarness
{
protected:
    void SetUp() override
    {
        seed({"execute block as declare i integer = 1; begin while (i <= 300) do begin "
              "insert into PICTURES (ID, TITLE) values (1000 + :i, 'P' || :i); "
              "insert into SALES (ID, IDPICTURE, \"COUNT\", \"SUM\", SALE_DATE) values "
              "(gen_id(GEN_SALES_ID, 1), 1000 + :i, :i, :i / 2e0, '15.03.2010'); i = i + 1; end end"});
        list->RefreshPictureList(-1);
    }

    void click(int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        clickAt(picGrid->viewport(),
                picGrid->visualRect(list->model()->index(row, browser::ColTitle)).center(), modifiers);
    }

    // The user drags the title of a column to another place.
    void moveColumn(int column, int toVisual)
    {
        picGrid->titles()->moveSection(picGrid->titles()->visualIndex(column), toVisual);
    }

    // Ctrl+C in the grid: the copied lines, each of 13 fields, cut to their first five.
    QStringList copy()
    {
        browser_tests::pressKey(picGrid, Qt::Key_C, Qt::ControlModifier);
        QStringList lines = QApplication::clipboard()->text().split(QLatin1Char('\n'));
        EXPECT_EQ(lines.takeLast(), QString());
        for (QString& line : lines) {
            const QStringList fields = line.split(QLatin1Char('\t'));
            EXPECT_EQ(fields.size(), 13) << line.toStdString();
            line = fields.mid(0, 5).join(QLatin1Char('\t'));
        }
        return lines;
    }

    QAction* exportAction() { return list->PopupMenu1->findChild<QAction*>(QStringLiteral("miExportCsv")); }

    // "Экспорт в CSV…" answered with this path, run by whileExporting; the errors it reported.
    QStringList exportTo(const QString& path, const std::function<void()>& whileExporting)
    {
        platform::SaveFileRecorder dialog;
        dialog.setAnswer(path);
        QStringList errors;
        const platform::ErrorReporter previous =
            platform::setErrorReporter([&](const QString& e) { errors << e; });
        whileExporting();
        platform::setErrorReporter(previous);
        if (!dialog.requests().empty())
            suggestedPath = dialog.requests().back().suggestedPath;
        return errors;
    }

    QString suggestedPath;
};

TEST_F(ListExportGuiTest, CtrlCCopiesTheSelectedRowsOrTheCurrentOneInTheGridsColumnOrder)
{
    click(3);
    click(3, Qt::ControlModifier); // row 3 stays current, nothing is selected
    EXPECT_EQ(copy(), (QStringList{QStringLiteral("ID\tЗаголовок\tКлючевые\tКол.продаж\tСумма"),
                                   QStringLiteral("1297\tP297\t\t297\t148,50")}));
    moveColumn(browser::ColCountSales, 0);
    click(7);
    click(5, Qt::ControlModifier);
    EXPECT_EQ(copy(), (QStringList{QStringLiteral("Кол.продаж\tID\tЗаголовок\tКлючевые\tСумма"),
                                   QStringLiteral("295\t1295\tP295\t\t147,50"),
                                   QStringLiteral("293\t1293\tP293\t\t146,50")}));
}

TEST_F(ListExportGuiTest, SelectAllThenCtrlCCopiesRowsTheGridHadNotFetched)
{
    ASSERT_LT(dm().qrPictureInfo.recordCount(), 300);
    browser_tests::pressKey(picGrid, Qt::Key_A, Qt::ControlModifier);
    const QStringList lines = copy();
    ASSERT_EQ(lines.size(), 301);
    EXPECT_EQ(lines[1], QStringLiteral("1300\tP300\t\t300\t150,00"));
    EXPECT_EQ(lines[300], QStringLiteral("1001\tP1\t\t1\t0,50"));
}

TEST_F(ListExportGuiTest, ExportWritesTheWholeListInTheGridsColumnOrderAndSaysWhereAndHowMany)
{
    platform::MessageBoxRecorder boxes;
    QStringList menu;
    for (const QAction* action : list->PopupMenu1->actions())
        menu << action->text();
    EXPECT_EQ(menu.mid(5), (QStringList{QString(), QStringLiteral("Экспорт в CSV…")}));
    moveColumn(browser::ColSumSales, 0);
    const int fetched = dm().qrPictureInfo.recordCount();
    ASSERT_LT(fetched, 300);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.csv"));
    EXPECT_EQ(exportTo(path, [&] { exportAction()->trigger(); }), QStringList());
    EXPECT_EQ(QFileInfo(suggestedPath).fileName(), QStringLiteral("photoledger-01.03.2010-31.03.2010.csv"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> records = file.readAll().split('\n');
    ASSERT_EQ(records.size(), 302);
    EXPECT_TRUE(records[0].startsWith(QStringLiteral("\uFEFFСумма;ID;Заголовок;").toUtf8()));
    EXPECT_EQ(records[1].split(';').size(), 13);
    EXPECT_TRUE(records[1].startsWith("150,00;1300;P300;;300;0,00;0,00;;15.03.2010;15.03.2010;"));
    EXPECT_TRUE(records[300].startsWith("0,50;1001;P1;;1;")) << records[300].constData();
    EXPECT_EQ(dm().qrPictureInfo.recordCount(), fetched);
    ASSERT_EQ(boxes.requests().size(), 1u);
    EXPECT_EQ(boxes.requests()[0].icon, QMessageBox::Information);
    EXPECT_EQ(boxes.requests()[0].text, QStringLiteral("Записано строк: 300\nФайл: ") + path);
}

TEST_F(ListExportGuiTest, AFailedExportLeavesNoPartialFile)
{
    for (const bool diskFull : {false, true}) { // else a directory has the chosen name
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("list.csv"));
        QFile old(path);
        if (diskFull)
            ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.write("old contents") > 0 && old.flush());
        else
            ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("list.csv")));
        old.close();
        const QStringList errors = exportTo(path, [&] {
            // While the list is written, no file of this process may grow beyond 4 KiB.
            const auto previousSignal = std::signal(SIGXFSZ, SIG_IGN);
            rlimit previous{};
            getrlimit(RLIMIT_FSIZE, &previous);
            rlimit limit = previous;
            limit.rlim_cur = diskFull ? 4096 : previous.rlim_cur;
            setrlimit(RLIMIT_FSIZE, &limit);
            exportAction()->trigger();
            setrlimit(RLIMIT_FSIZE, &previous);
            std::signal(SIGXFSZ, previousSignal);
        });
        ASSERT_EQ(errors.size(), 1) << diskFull;
        EXPECT_TRUE(errors[0].startsWith(QStringLiteral("Файл не записан: ") + path))
            << errors[0].toStdString();
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                  QStringList{QStringLiteral("list.csv")});
        if (diskFull) {
            ASSERT_TRUE(old.open(QIODevice::ReadOnly));
            EXPECT_EQ(old.readAll(), "old contents");
        }
    }
}

} // namespace
