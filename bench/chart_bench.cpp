// photoledger-bench-chart PORTFOLIO.gdb [--runs N]
//
// Times the chart window in the real program (offscreen, the window at its design size) on a copy of a
// portfolio database, such as the synthetic ones that photoledger-bench-database caches in
// ~/.cache/photoledger-bench:
//   - chart open: from the menu item "График" to the end of the window's first paint;
//   - chart redraw: from "Обновить" after an offset change to the end of the next paint;
//   - the heap that the drawn chart keeps.
// Prints the median of N runs (5 by default) after one warm-up run, in milliseconds.

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>


#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include "app/main_window.h"
#include "app/program.h"
#include "bench/bench_figures.h"
#include "chart/chart_surface.h"
#include "chart/graph_window.h"
#include "data/dm.h"
#include "data/program_directory.h"
#include "platform/handler_guard.h"

namespace {

using bench::median;
using bench::heapInUseMiB;

using Clock = std::chrono::steady_clock;

double millisecondsBetween(Clock::time_point start, Clock::time_point end)
{
    return std::chrono::duration<double, std::milli>(end - start).count();
}

// Notes when the first paint of the surface after arm() has ended: once the events of that paint,
// the rest of the window's paint included, have been handled.
class PaintWatch : public QObject
{
public:
    explicit PaintWatch(QWidget* surface) { surface->installEventFilter(this); }

    void arm(std::function<void()> afterPaint = {})
    {
        armed_ = true;
        painted_ = false;
        afterPaint_ = std::move(afterPaint);
    }
    bool painted() const { return painted_; }
    Clock::time_point paintEnd() const { return paintEnd_; }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && armed_) {
            armed_ = false;
            QTimer::singleShot(0, this, [this] {
                paintEnd_ = Clock::now();
                painted_ = true;
                if (afterPaint_)
                    afterPaint_();
            });
        }
        return false;
    }

private:
    bool armed_ = false;
    bool painted_ = false;
    Clock::time_point paintEnd_;
    std::function<void()> afterPaint_;
};

std::vector<double> repeat(int runs, const std::function<double()>& run)
{
    run();
    std::vector<double> results;
    for (int i = 0; i < runs; ++i)
        results.push_back(run());
    return results;
}

// The menu item shows the window modally; the window closes itself once its first paint has ended.
double openChart(chart::TfmGraph& window, PaintWatch& watch)
{
    watch.arm([&window] { window.close(); });
    const auto start = Clock::now();
    app::fmMain->N10->trigger();
    return millisecondsBetween(start, watch.paintEnd());
}

double redrawChart(chart::TfmGraph& window, PaintWatch& watch)
{
    window.edSales->setValue(window.edSales->value() == 50 ? 60 : 50);
    watch.arm();
    const auto start = Clock::now();
    window.Button1->click();
    while (!watch.painted())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return millisecondsBetween(start, watch.paintEnd());
}

void runBenchmarks(chart::TfmGraph& window, int runs)
{
    PaintWatch watch(window.Image1);
    const double heapBefore = heapInUseMiB();
    std::printf("Chart open %.1f ms\n", median(repeat(runs, [&] { return openChart(window, watch); })));
    std::printf("chart heap %.2f MiB for %zu days\n", heapInUseMiB() - heapBefore, window.Image1->days().size());

    window.show();
    watch.arm();
    while (!watch.painted())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    std::printf("chart redraw %.1f ms\n", median(repeat(runs, [&] { return redrawChart(window, watch); })));
    window.close();
}

} // namespace

int main(int argc, char* argv[])
{
    bench::startWindowBenchmark();
    QApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const int runs = bench::runsArgument(arguments);
    if (arguments.size() < 2 || !QFile::exists(arguments[1])) {
        std::fprintf(stderr, "usage: photoledger-bench-chart PORTFOLIO.gdb [--runs N]\n");
        return 2;
    }
    QTemporaryDir programDir;
    if (!QFile::copy(arguments[1], programDir.filePath(QLatin1String(data::Tdm::DatabaseFileName)))) {
        std::fprintf(stderr, "cannot copy %s\n", qPrintable(arguments[1]));
        return 1;
    }
    data::prepareProgramDirectory(programDir.path());
    int errors = 0;
    platform::setErrorReporter([&](const QString& message) {
        ++errors;
        std::fprintf(stderr, "error: %s\n", qPrintable(message));
    });
    app::Program program(programDir.path());
    if (!program.started())
        return 1;
    app::fmMain->show();
    std::printf("portfolio %s, %d runs\n", qPrintable(arguments[1]), runs);
    runBenchmarks(*static_cast<chart::TfmGraph*>(app::fmGraph), runs);
    return errors == 0 ? 0 : 1;
}
