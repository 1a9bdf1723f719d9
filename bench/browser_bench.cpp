// photoledger-bench-browser PORTFOLIO.gdb [--runs N] [--grid]
//
// Times the portfolio browser in the real main window (offscreen) on a copy of a portfolio database,
// such as the synthetic ones that photoledger-bench-database caches in ~/.cache/photoledger-bench:
//   - from "Применить" to the list opened with the first screen's rows fetched, to those rows painted,
//     and to the end of the click including the count label's statements, for "за все время" and for
//     one month;
//   - scrolling a keyword-filtered list page by page to its end;
//   - the heap in use after the list has opened, and after all its rows were fetched;
//   - "Экспорт в CSV…" of the whole list for "за все время", and the peak memory of photoledger-export
//     printing that list and a folder's;
//   - DrawSalesStrip for the best seller of all time, and one scroll step of the strip;
//   - the painted grid on "за все время" at its design width with the preview and mini-chart columns
//     in view and rows of the design height: one paint of the 40-row screen right after the list
//     opened, the same screen painted again, and Page Down to the next 40 rows fetched and painted;
//     and the heap after paging through the whole list with its cells painted.
// Prints the median of N runs (5 by default) after one warm-up run. --grid times the painted grid only.

#include <QApplication>
#include <QCheckBox>
#include <QDateTimeEdit>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <functional>
#include <vector>

#include "app/main_window.h"
#include "app/program.h"
#include "bench/bench_figures.h"
#include "bench/server_mode.h"
#include "browser/cell_painter.h"
#include "browser/folder_panel.h"
#include "browser/picture_cell_delegate.h"
#include "browser/picture_fields.h"
#include "browser/picture_grid.h"
#include "browser/picture_list_model.h"
#include "browser/picture_list_panel.h"
#include "browser/sales_strip_box.h"
#include "browser/sales_strip_panel.h"
#include "data/dm.h"
#include "data/program_directory.h"
#include "platform/file_dialog.h"
#include "platform/handler_guard.h"
#include "platform/message_box.h"
#include "platform/password_dialog.h"

namespace {

using bench::heapInUseMiB;
using bench::median;

using Clock = std::chrono::steady_clock;

double secondsBetween(Clock::time_point start, Clock::time_point end)
{
    return std::chrono::duration<double>(end - start).count();
}

// Remembers when the grid's rows were first painted after a start mark.
class PaintClock : public QObject
{
public:
    explicit PaintClock(QWidget* viewport) { viewport->installEventFilter(this); }
    void start()
    {
        painted_ = false;
        start_ = Clock::now();
    }
    double secondsToFirstPaint() const { return painted_ ? secondsBetween(start_, firstPaint_) : -1; }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !painted_) {
            painted_ = true;
            firstPaint_ = Clock::now();
        }
        return false;
    }

private:
    Clock::time_point start_, firstPaint_;
    bool painted_ = true;
};

double processorSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

struct ApplyTimes
{
    double listOpened; // the statement opened and the first screen's rows fetched
    double firstScreen;
    double wholeClick;
    double wholeClickProcessor; // shows the work done when other programs compete for the machine
};

// The last day stored in the portfolio: the end of "за все время" and of the month timed.
QDate lastStoredDay()
{
    data::Query& query = data::dm->qrExecute;
    query.setText("select max(SALE_DATE) from SALES_BY_DAY");
    query.open();
    return query.field(0).asDate();
}

class BrowserBench
{
public:
    explicit BrowserBench(app::TfmMain& window)
        : window_(window), paints_(window.picGrid->viewport()), lastDay_(lastStoredDay())
    {
    }

    QDate lastDay() const { return lastDay_; }
    ApplyTimes applyAllTime(const QString& keywords = {})
    {
        return apply(QDate(2005, 1, 1), lastDay_, keywords);
    }
    ApplyTimes applyLastMonth() { return apply(QDate(lastDay_.year(), lastDay_.month(), 1), lastDay_); }

    ApplyTimes apply(QDate from, QDate till, const QString& keywords = {})
    {
        window_.edFrom->setDate(from);
        window_.edTill->setDate(till);
        window_.edKeywords->setText(keywords);
        paints_.start();
        const double processorStart = processorSeconds();
        const auto start = Clock::now();
        Clock::time_point opened = start;
        const QMetaObject::Connection openWatch =
            QObject::connect(window_.pictureList->model(), &QAbstractItemModel::modelReset, [&] {
                if (data::dm->qrPictureInfo.isOpen())
                    opened = Clock::now();
            });
        window_.Button2->click();
        const auto end = Clock::now();
        QObject::disconnect(openWatch);
        return {secondsBetween(start, opened), paints_.secondsToFirstPaint(), secondsBetween(start, end),
                processorSeconds() - processorStart};
    }

    // Page Down until the whole list is read and its last row is current; answers the rows.
    int scrollToEnd()
    {
        data::Query& list = data::dm->qrPictureInfo;
        while (!(list.allFetched() && list.currentIndex() == list.recordCount() - 1)) {
            QKeyEvent pageDown(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier);
            QApplication::sendEvent(window_.picGrid, &pageDown);
            QCoreApplication::processEvents();
        }
        return list.recordCount();
    }

    void pressCtrlEnd()
    {
        QKeyEvent ctrlEnd(QEvent::KeyPress, Qt::Key_End, Qt::ControlModifier);
        QApplication::sendEvent(window_.picGrid, &ctrlEnd);
    }

private:
    app::TfmMain& window_;
    PaintClock paints_;
    QDate lastDay_;
};

template <typename Result> std::vector<Result> repeat(int runs, const std::function<Result()>& run)
{
    run();
    std::vector<Result> results;
    for (int i = 0; i < runs; ++i)
        results.push_back(run());
    return results;
}

// The click on "Применить" for the period named: one line for each of its three times, after the
// prefix ("Server " with the database behind a server).
void reportApply(const char* period, const std::vector<ApplyTimes>& times, const char* prefix = "")
{
    std::vector<double> opened, first, whole, processor;
    for (const ApplyTimes& t : times) {
        opened.push_back(t.listOpened);
        first.push_back(t.firstScreen);
        whole.push_back(t.wholeClick);
        processor.push_back(t.wholeClickProcessor);
    }
    std::printf("%slist opened %s %.3f s\n", prefix, period, median(opened));
    std::printf("%sfirst screen %s %.3f s\n", prefix, period, median(first));
    std::printf("%swhole click %s %.3f s (processor %.3f s)\n", prefix, period, median(whole),
                median(processor));
}

// Heap in use with the list closed, after it opened on all time, and after all its rows were read.
void measureMemory(app::TfmMain& window, BrowserBench& bench)
{
    data::dm->Transaction.commit();
    QCoreApplication::processEvents();
    const double closed = heapInUseMiB();
    bench.applyAllTime();
    QCoreApplication::processEvents();
    const double opened = heapInUseMiB();
    const int openedRows = data::dm->qrPictureInfo.recordCount();
    bench.pressCtrlEnd();
    const double allRead = heapInUseMiB();
    std::printf("memory: %.1f MiB with the list closed; +%.1f MiB with the list open (%d rows fetched); "
                "+%.1f MiB with all %d rows fetched\n",
                closed, opened - closed, openedRows, allRead - closed, data::dm->qrPictureInfo.recordCount());
    window.picGrid->moveToRow(0);
}

// "Экспорт в CSV…" of the list as it stands into this file; answers the seconds it took. The message
// that ends the export is answered by the recorder, so that no modal box waits for a click.
double exportSeconds(app::TfmMain& window, const QString& path)
{
    platform::SaveFileRecorder dialog;
    dialog.setAnswer(path);
    platform::MessageBoxRecorder closingMessage;
    QAction* exportCsv = window.pictureList->PopupMenu1->findChild<QAction*>(QStringLiteral("miExportCsv"));
    const auto start = Clock::now();
    exportCsv->trigger();
    return secondsBetween(start, Clock::now());
}

// Launcher mode: runs the program with its arguments, its output thrown away, and prints its peak
// resident memory in KiB. The child is forked from this small process, so that the benchmark's own
// memory does not count in the child's peak.
int printPeakMemoryOf(char* argv[])
{
    const pid_t child = fork();
    if (child == 0) {
        const int devNull = open("/dev/null", O_WRONLY);
        dup2(devNull, STDOUT_FILENO);
        execv(argv[0], argv);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (child < 0 || wait4(child, &status, 0, &usage) != child || !WIFEXITED(status))
        return 1;
    std::printf("%ld\n", usage.ru_maxrss);
    return WEXITSTATUS(status);
}

// The peak resident memory of photoledger-export with these arguments in MiB; -1 when it failed.
double exportCommandPeakMiB(const QStringList& arguments)
{
    QProcess launcher;
    launcher.start(QCoreApplication::applicationFilePath(),
                   QStringList{QStringLiteral("--peak-memory-of"), QStringLiteral(EXPORT_CLI)} + arguments);
    if (!launcher.waitForFinished(600'000) || launcher.exitCode() != 0)
        return -1;
    return launcher.readAllStandardOutput().trimmed().toDouble() / 1024;
}

void measureExport(app::TfmMain& window, BrowserBench& bench, int runs)
{
    bench.applyAllTime();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.csv"));
    std::vector<double> processor;
    const double seconds = median(repeat<double>(runs, [&] {
        const double start = processorSeconds();
        const double wall = exportSeconds(window, path);
        processor.push_back(processorSeconds() - start);
        return wall;
    }));
    QFile file(path);
    const qsizetype records = file.open(QIODevice::ReadOnly) ? file.readAll().count('\n') : 0;
    std::printf("Export of the whole list (\"за все время\") %.3f s\n", seconds);
    std::printf("the same, processor time %.3f s\n", median(processor));
    std::printf("rows exported %lld\n", static_cast<long long>(records - 1));

    const QStringList wholeList{data::dm->appDir(), QStringLiteral("--till"),
                                bench.lastDay().toString(QStringLiteral("dd.MM.yyyy"))};
    std::printf("the CLI's peak memory, за все время %.1f MiB\n", exportCommandPeakMiB(wholeList));
    std::printf(
        "the CLI's peak memory, folder 1 %.1f MiB\n",
        exportCommandPeakMiB(wholeList + QStringList{QStringLiteral("--folder"), QStringLiteral("1")}));
}

// The strip of the list's first row over all time, most downloads first: the best seller. Drawing it
// runs DIAGRAM and paints the visible part; a scroll step paints the part scrolled to.
void measureStrip(app::TfmMain& window, BrowserBench& bench, int runs)
{
    bench.applyAllTime();
    window.picGrid->moveToRow(0);
    const std::vector<double> draws = repeat<double>(runs, [&] {
        const auto start = Clock::now();
        window.salesStrip->DrawSalesStrip();
        return secondsBetween(start, Clock::now());
    });
    QScrollBar* bar = window.ScrollBox1->horizontalScrollBar();
    const std::vector<double> steps = repeat<double>(runs, [&] {
        const auto start = Clock::now();
        bar->setValue(bar->value() + bar->singleStep());
        return secondsBetween(start, Clock::now());
    });
    std::printf("strip draw %.2f ms\n", median(draws) * 1e3);
    std::printf("strip scroll step %.2f ms\n", median(steps) * 1e3);
    std::printf("(strip of picture %lld: %d px of range, %dx%d px shown)\n",
                static_cast<long long>(window.CurrentPictureId), window.ScrollBox1->range(),
                window.ScrollBox1->viewport()->width(), window.ScrollBox1->viewport()->height());
}

constexpr int ScreenRows = 40;
const QSize DesignWindow(882, 584);

// The main window at its design width and as high as it takes to show 40 grid rows of the design
// height, with the preview and mini-chart columns moved next to the ID column, so that the screen
// holds both.
void layOutGridScreen(app::TfmMain& window)
{
    browser::PictureGrid& grid = *window.picGrid;
    QHeaderView* titles = grid.horizontalHeader();
    titles->moveSection(titles->visualIndex(browser::ColImage), 1);
    titles->moveSection(titles->visualIndex(browser::ColDiagram), 2);
    const int rowsHigh = ScreenRows * grid.rowHeightSetting();
    window.resize(DesignWindow);
    QCoreApplication::processEvents();
    window.resize(DesignWindow.width(), DesignWindow.height() + rowsHigh - grid.viewport()->height());
    QCoreApplication::processEvents();
}

// Wall-clock and processor milliseconds of one step; the processor time shows the work done when other
// programs compete for the machine.
struct StepTime
{
    double wall, processor;
};

template <typename Step> StepTime timed(Step&& step)
{
    const auto wallStart = Clock::now();
    const double processorStart = processorSeconds();
    step();
    return {secondsBetween(wallStart, Clock::now()) * 1000, (processorSeconds() - processorStart) * 1000};
}

struct GridTimes
{
    StepTime firstPaint, repaint, pageDown;
};

GridTimes timeGridScreen(app::TfmMain& window, BrowserBench& bench)
{
    QWidget* cells = window.picGrid->viewport();
    // The click processes events on its way; the grid must not paint the new list before it is timed.
    window.picGrid->setUpdatesEnabled(false);
    bench.applyAllTime();
    window.picGrid->setUpdatesEnabled(true);
    const StepTime firstPaint = timed([&] { cells->repaint(); });
    const StepTime repaint = timed([&] { cells->repaint(); });
    window.picGrid->moveToRow(0);
    QCoreApplication::processEvents();
    const StepTime pageDown = timed([&] {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier);
        QApplication::sendEvent(window.picGrid, &key);
        cells->repaint();
    });
    return {firstPaint, repaint, pageDown};
}

void reportStep(const char* label, const std::vector<GridTimes>& times, StepTime GridTimes::*step)
{
    std::vector<double> wall, processor;
    for (const GridTimes& t : times) {
        wall.push_back((t.*step).wall);
        processor.push_back((t.*step).processor);
    }
    std::printf("%s %.1f ms (processor %.1f ms)\n", label, median(wall), median(processor));
}

// Heap in use after Page Down through the whole list, every screen painted.
void measurePaintedListMemory(app::TfmMain& window, BrowserBench& bench)
{
    bench.applyAllTime();
    QCoreApplication::processEvents();
    const double opened = heapInUseMiB();
    data::Query& list = data::dm->qrPictureInfo;
    while (!(list.allFetched() && list.currentIndex() == list.recordCount() - 1)) {
        QKeyEvent pageDown(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier);
        QApplication::sendEvent(window.picGrid, &pageDown);
        window.picGrid->viewport()->repaint();
    }
    const auto* cells = static_cast<browser::PictureCellDelegate*>(window.picGrid->itemDelegate());
    std::printf(
        "memory: +%.1f MiB after paging through all %d rows with their cells painted, of which the "
        "kept previews and DIAGRAM texts %.1f MiB (budget %.1f MiB)\n",
        heapInUseMiB() - opened, list.recordCount(),
        static_cast<double>(cells->cellPainter().keptBytes()) / (1024 * 1024),
        static_cast<double>(browser::CellPainter::PreviewBudget + browser::CellPainter::DiagramBudget) /
            (1024 * 1024));
    const bench::ResidentMemory resident = bench::residentMemoryMiB();
    std::printf("resident memory after paging through all rows %.0f MiB (peak %.0f MiB)\n", resident.now,
                resident.peak);
}

void runGridBenchmarks(app::TfmMain& window, BrowserBench& bench, int runs)
{
    layOutGridScreen(window);
    const std::vector<GridTimes> times =
        repeat<GridTimes>(runs, [&] { return timeGridScreen(window, bench); });
    std::printf("(grid %dx%d, %d rows of %d px in view)\n", window.picGrid->viewport()->width(),
                window.picGrid->viewport()->height(), ScreenRows, window.picGrid->rowHeightSetting());
    reportStep("grid first paint", times, &GridTimes::firstPaint);
    reportStep("grid repaint", times, &GridTimes::repaint);
    reportStep("grid page down", times, &GridTimes::pageDown);
    measurePaintedListMemory(window, bench);
}

void runBenchmarks(app::TfmMain& window, int runs, bool gridOnly)
{
    BrowserBench bench(window);
    window.folderPanel->SelectFolderNode(-1);
    if (gridOnly) {
        runGridBenchmarks(window, bench, runs);
        return;
    }
    measureMemory(window, bench);

    reportApply("all time", repeat<ApplyTimes>(runs, [&] { return bench.applyAllTime(); }));
    reportApply("one month", repeat<ApplyTimes>(runs, [&] { return bench.applyLastMonth(); }));

    const QString keywords = QStringLiteral("sunset, -beach, -sea");
    int keywordRows = 0;
    const std::vector<double> scrolls = repeat<double>(runs, [&] {
        bench.applyAllTime(keywords);
        const auto start = Clock::now();
        keywordRows = bench.scrollToEnd();
        return secondsBetween(start, Clock::now());
    });
    std::printf("%-34s %7.3f s for %d rows, label \"%s\"\n", "scroll keyword list to its end",
                median(scrolls), keywordRows, qPrintable(window.lbCount->text()));
    measureExport(window, bench, runs);
    measureStrip(window, bench, runs);
    runGridBenchmarks(window, bench, runs);
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc > 2 && std::strcmp(argv[1], "--peak-memory-of") == 0)
        return printPeakMemoryOf(argv + 2);
    bench::startWindowBenchmark();
    QApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const int runs = bench::runsArgument(arguments);
    if (arguments.size() < 2 || !QFile::exists(arguments[1])) {
        std::fprintf(stderr,
                     "usage: photoledger-bench-browser PORTFOLIO.gdb [--runs N] [--grid | --server]\n");
        return 2;
    }
    QTemporaryDir programDir;
    if (!QFile::copy(arguments[1], programDir.filePath(QLatin1String(data::Tdm::DatabaseFileName)))) {
        std::fprintf(stderr, "cannot copy %s\n", qPrintable(arguments[1]));
        return 1;
    }
    data::prepareProgramDirectory(programDir.path());
    const bool server = bench::serverModeArgument(arguments);
    // With --server the program opens the database through the server, and its password dialog is
    // answered with the server's password.
    const std::unique_ptr<test_support::FirebirdServer> databaseServer =
        server ? bench::serveProgramDatabase(programDir.path()) : nullptr;
    platform::PasswordRecorder passwords;
    passwords.queueAnswer(QLatin1String(test_support::FirebirdServer::AdminPassword));
    int unreadablePreviews = 0;
    platform::setErrorReporter([&](const QString&) { ++unreadablePreviews; });
    app::Program program(programDir.path());
    if (!program.started() || !data::dm->IBDatabase1.connected())
        return 1;
    app::fmMain->resize(1200, 800);
    app::fmMain->show();
    std::printf("portfolio %s, %d runs%s\n", qPrintable(arguments[1]), runs,
                server ? ", through a server on 127.0.0.1" : "");
    if (server) {
        BrowserBench bench(*app::fmMain);
        app::fmMain->folderPanel->SelectFolderNode(-1);
        reportApply("all time", repeat<ApplyTimes>(runs, [&] { return bench.applyAllTime(); }), "Server ");
    } else {
        runBenchmarks(*app::fmMain, runs, arguments.contains(QStringLiteral("--grid")));
    }
    std::printf("(%d errors reported while browsing, such as previews that are no JPEG)\n",
                unreadablePreviews);
    return 0;
}
