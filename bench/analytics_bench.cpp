// photoledger-bench-analytics PORTFOLIO.gdb [--runs N]
//
// Times the analytics figures on a copy of a portfolio database, such as the synthetic ones that
// photoledger-bench-database caches in ~/.cache/photoledger-bench, over the main window's first period
// ("за все время" up to today) and over a period that cuts months at both ends. Each run attaches
// anew, so that it starts with the engine's page cache empty (cold). Prints the median of N runs (5 by
// default) after one warm-up run, in seconds. Then, in the real program (offscreen), the opening of
// the window from the menu item "Аналитика" until its first tab is drawn: once, its first opening. A
// copy of an earlier schema is first upgraded as the program upgrades it when it opens the file, timed.

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <functional>

#include "analytics/analytics_window.h"
#include "analytics/cohorts.h"
#include "analytics/group_figures.h"
#include "analytics/lifecycle.h"
#include "analytics/seasonality.h"
#include "app/main_window.h"
#include "app/program.h"
#include "bench/bench_figures.h"
#include "data/connection.h"
#include "data/dm.h"
#include "data/schema_upgrade.h"
#include "platform/handler_guard.h"

namespace {

using Clock = std::chrono::steady_clock;
using Figure = std::function<void(data::Connection&, data::Transaction&, const analytics::Period&)>;

// Seconds of processor time of the whole process, the engine's threads included.
double processorSeconds()
{
    timespec time{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &time);
    return double(time.tv_sec) + double(time.tv_nsec) / 1e9;
}

struct Seconds
{
    double elapsed = 0;
    double processor = 0;
};

Seconds coldSeconds(const QString& database, const analytics::Period& period, const Figure& figure)
{
    data::Connection connection;
    connection.setDatabaseName(database.toStdString());
    const auto start = Clock::now();
    const double processorStart = processorSeconds();
    connection.connect();
    figure(connection, connection.defaultTransaction(), period);
    connection.close();
    return {std::chrono::duration<double>(Clock::now() - start).count(), processorSeconds() - processorStart};
}

Seconds medianSeconds(const QString& database, const analytics::Period& period, int runs,
                      const Figure& figure)
{
    coldSeconds(database, period, figure);
    std::vector<double> elapsed, processor;
    for (int i = 0; i < runs; ++i) {
        const Seconds run = coldSeconds(database, period, figure);
        elapsed.push_back(run.elapsed);
        processor.push_back(run.processor);
    }
    return {bench::median(elapsed), bench::median(processor)};
}

void runFigures(const QString& database, const analytics::Period& period, const char* suffix, int runs)
{
    using namespace analytics;
    const std::pair<const char*, Figure> figures[] = {
        {"cohorts", [](auto& c, auto& t, const Period& p) { readCohorts(c, t, p); }},
        {"lifecycle", [](auto& c, auto& t, const Period& p) { readLifecycle(c, t, p); }},
        {"batches", [](auto& c, auto& t, const Period& p) { readBatchFigures(c, t, p); }},
        {"keywords",
         [](auto& c, auto& t, const Period& p) { readKeywordFigures(c, t, p, DefaultMinimumPictures); }},
        {"folders", [](auto& c, auto& t, const Period& p) { readFolderFigures(c, t, p); }},
        {"seasonality", [](auto& c, auto& t, const Period& p) { readSeasonality(c, t, p, false); }},
    };
    for (const auto& [name, figure] : figures) {
        const Seconds seconds = medianSeconds(database, period, runs, figure);
        std::printf("Analytics %s%s %.3f s (cpu %.3f s)\n", name, suffix, seconds.elapsed, seconds.processor);
    }
}

void upgradeCopy(const QString& database, const QString& programDir)
{
    data::Connection connection;
    connection.setDatabaseName(database.toStdString());
    const auto start = Clock::now();
    data::upgradeDatabase(connection, programDir);
    connection.close();
    std::printf("Analytics schema upgrade of the copy %.3f s\n",
                std::chrono::duration<double>(Clock::now() - start).count());
}

// The menu item makes and shows the window, which reads its first tab; the window is then drawn at once.
void timeWindowOpening(const QString& programDir)
{
    QString firstError;
    platform::setErrorReporter(
        [&](const QString& message) { firstError = firstError.isEmpty() ? message : firstError; });
    app::Program program(programDir);
    if (!program.started())
        throw std::runtime_error("the program did not start");
    app::fmMain->show();
    QCoreApplication::processEvents();
    const auto start = Clock::now();
    const double processorStart = processorSeconds();
    app::fmMain->miAnalytics->trigger();
    app::fmMain->fmAnalytics->repaint();
    std::printf("Analytics window open %.3f s (cpu %.3f s)\n",
                std::chrono::duration<double>(Clock::now() - start).count(),
                processorSeconds() - processorStart);
    if (!firstError.isEmpty())
        throw std::runtime_error(firstError.toStdString());
}

} // namespace

int main(int argc, char* argv[])
{
    bench::startWindowBenchmark();
    QApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 2 || !QFile::exists(arguments[1])) {
        std::fprintf(stderr, "usage: photoledger-bench-analytics PORTFOLIO.gdb [--runs N]\n");
        return 2;
    }
    const int runs = bench::runsArgument(arguments);
    QTemporaryDir dir;
    const QString database = dir.filePath(QLatin1String(data::Tdm::DatabaseFileName));
    if (!QFile::copy(arguments[1], database)) {
        std::fprintf(stderr, "photoledger-bench-analytics: cannot copy %s\n", qPrintable(arguments[1]));
        return 1;
    }
    QFile::setPermissions(database, QFile::ReadOwner | QFile::WriteOwner);
    try {
        upgradeCopy(database, dir.path());
        runFigures(database, {QDate(2005, 1, 1), QDate::currentDate()}, "", runs);
        runFigures(database, {QDate(2007, 3, 15), QDate(2009, 6, 14)}, " (15.03.2007-14.06.2009)", runs);
        timeWindowOpening(dir.path());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "photoledger-bench-analytics: %s\n", error.what());
        return 1;
    }
    return 0;
}
