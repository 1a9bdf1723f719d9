// photoledger-bench-record PORTFOLIO.gdb
//
// Times the keeping of the record on a copy of a portfolio database, such as the synthetic ones that
// photoledger-bench-database caches in ~/.cache/photoledger-bench, once each, in seconds of wall time,
// each followed by this process's processor time:
//   - Backup: the engine's backup of the database to a file;
//   - Restore: that backup restored, checked and put in place of the database;
//   - Ledger export: every folder, picture and sale written as a ledger file;
//   - Ledger import into empty: that file merged into a new, empty database;
//   - Check: the engine's validation and every roll-up recounted from SALES.
// Then says whether the imported database shows the grid's figures for all time and the portfolio
// chart row for row as the original does.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <functional>

#include "data/database_backup.h"
#include "data/database_file.h"
#include "data/database_service.h"
#include "data/dm.h"
#include "data/ledger.h"
#include "data/program_directory.h"
#include "data/roll_up_check.h"
#include "data/statement.h"

namespace {

struct Timing
{
    double wall, processor;
};

// The wall time and this process's processor time (the embedded engine's included) of the work.
Timing timed(const std::function<void()>& work)
{
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t processorStart = std::clock();
    work();
    return {std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
            static_cast<double>(std::clock() - processorStart) / CLOCKS_PER_SEC};
}

void print(const char* label, Timing timing)
{
    std::printf("%s %.1f s\n(processor %.1f s)\n", label, timing.wall, timing.processor);
    std::fflush(stdout);
}

// What the program shows of a database: the grid's figures for all time (without the previews) and
// the portfolio chart.
std::vector<data::Row> shownFigures(const QString& dir)
{
    data::Tdm dm(dir);
    dm.DataModuleCreate();
    std::vector<data::Row> rows;
    for (const char* sql :
         {"select IDPICTURE, IDFOLDER, IDBATCH, \"TYPE\", TITLE, KEYWORDS, COUNT_SALES, SUM_SALES,"
          " SUM_ON_DEMAND, SUM_ON_ENHANCED, EFFICACY, EFFICACY2, MAX_DLS, ACCEPT_DATE, FIRST_SALE,"
          " LAST_SALE from SALES_INFO(-1, '01.01.2005', 'today') order by 1",
          "select * from GRAPH"}) {
        data::Statement statement(dm.IBDatabase1, dm.Transaction.handle(), sql);
        statement.open(dm.Transaction.handle());
        for (data::Row row; statement.fetch(row);)
            rows.push_back(row);
        statement.closeCursor();
    }
    dm.IBDatabase1.close();
    return rows;
}

int run(const QString& portfolio)
{
    QTemporaryDir work;
    const QString dir = work.path();
    if (!QFile::copy(portfolio, data::databasePath(dir))) {
        std::fprintf(stderr, "cannot copy %s\n", qPrintable(portfolio));
        return 1;
    }
    shownFigures(dir); // brings an older schema up to date before anything is timed
    data::Connection database;
    database.setDatabaseName(data::databasePath(dir).toStdString());
    const QString backup = dir + QStringLiteral("/portfolio.fbk");
    print("Backup", timed([&] { data::backupDatabase(database, backup); }));
    print("Restore", timed([&] { data::restoreDatabase(backup, data::databasePath(dir)); }));
    QFile::remove(data::databasePath(dir) + QStringLiteral(".old"));

    const QString ledger = dir + QStringLiteral("/portfolio.zip");
    print("Ledger export", timed([&] {
              data::Tdm dm(dir);
              dm.DataModuleCreate();
              QSaveFile out(ledger);
              if (!out.open(QIODevice::WriteOnly) || !data::exportLedger(dm.IBDatabase1, out) ||
                  !out.commit())
                  throw std::runtime_error("the ledger could not be written");
          }));
    const QString emptyDir = dir + QStringLiteral("/empty");
    QDir().mkpath(emptyDir);
    data::createDatabaseFile(data::databasePath(emptyDir));
    print("Ledger import into empty", timed([&] {
              QFile in(ledger);
              in.open(QIODevice::ReadOnly);
              data::Tdm dm(emptyDir);
              dm.DataModuleCreate();
              data::importLedger(dm.IBDatabase1, in.readAll());
          }));

    qsizetype problems = 0;
    print("Check", timed([&] {
              data::Tdm dm(dir);
              dm.DataModuleCreate();
              problems = data::DatabaseService(database).validate().size() +
                         data::rollUpDifferences(dm.IBDatabase1).size();
          }));
    std::printf("(check found %lld problems)\n", static_cast<long long>(problems));
    const std::vector<data::Row> original = shownFigures(dir), imported = shownFigures(emptyDir);
    std::printf("(round trip: %zu rows of SALES_INFO for all time and GRAPH, %s)\n", original.size(),
                original == imported ? "identical" : "DIFFERENT");
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: photoledger-bench-record PORTFOLIO.gdb\n");
        return 1;
    }
    try {
        return run(QString::fromLocal8Bit(argv[1]));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "photoledger-bench-record: %s\n", error.what());
        return 1;
    }
}
