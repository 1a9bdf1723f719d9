// How long photoledger-collect takes to end after SIGINT or SIGTERM while a page download hangs: the
// simulated agency holds the month page, which the download would wait for until its own timeout.
//
//   photoledger-bench-termination [--runs N]
//
// Prints the median time from the signal to the program's end over the runs, for each signal.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <chrono>
#include <csignal>
#include <cstdio>

#include "bench/bench_figures.h"
#include "data/database_file.h"
#include "tools/agency-sim/server.h"

namespace {

// A program directory with a new database, whose conf.ini names the agency.
void layOut(const QString& dir, const agencysim::AgencyServer& agency)
{
    QDir(dir).mkpath(QStringLiteral("PREVIEW"));
    QDir(dir).mkpath(QStringLiteral("Temp"));
    data::createDatabaseFile(dir + QStringLiteral("/PHOTOLEDGER.GDB"));
    agency.writeCookieFile(QString(dir + QStringLiteral("/cookies.txt")).toStdString());
    QFile conf(dir + QStringLiteral("/conf.ini"));
    conf.open(QIODevice::WriteOnly);
    conf.write(QByteArray("[Agency]\nContributorSite=") + agency.baseUrl().c_str() +
               "\nPublicSite=" + agency.baseUrl().c_str() + "\nCookieFile=cookies.txt\n");
}

// Seconds from the signal to the end of a run that waits for the held month page; -1 when it did not
// end within a minute.
double secondsToEnd(const QString& dir, int signal)
{
    agencysim::PortfolioOptions portfolio;
    portfolio.pictures = 40;
    agencysim::Faults faults;
    faults.slowPaths = {"/stats.mhtml?year_month="};
    faults.slowMs = 600'000;
    agencysim::AgencyServer agency(portfolio, faults);
    agency.start();
    layOut(dir, agency);
    QProcess collect;
    collect.start(QStringLiteral(COLLECT_CLI), {dir, QStringLiteral("sales"), QStringLiteral("2008-04")});
    if (!agency.waitForSlowRequest(std::chrono::minutes(1)))
        return -1;
    QElapsedTimer clock;
    clock.start();
    ::kill(pid_t(collect.processId()), signal);
    const bool ended = collect.waitForFinished(60'000);
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    collect.kill();
    collect.waitForFinished();
    return ended ? seconds : -1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const int runs = bench::runsArgument(QCoreApplication::arguments());
    for (const auto& [signal, name] : {std::pair{SIGINT, "SIGINT"}, std::pair{SIGTERM, "SIGTERM"}}) {
        std::vector<double> seconds;
        for (int run = 0; run < runs; ++run) {
            QTemporaryDir dir;
            seconds.push_back(secondsToEnd(dir.path(), signal));
        }
        std::printf("photoledger-collect ends after %s during a hanging download: %.3f s\n", name,
                    bench::median(seconds));
    }
}
