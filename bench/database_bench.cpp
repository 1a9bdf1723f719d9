// photoledger-bench-database S|M|L [--runs N] [--cache DIR]
//
// Times the statistics database on a synthetic portfolio as the program uses it: the picture list
// (SALES_INFO with the grid's filter and order), the mini chart (DIAGRAM), the portfolio chart
// (GRAPH) and the record store's StoreSale, also while a second process holds a long read transaction
// on the same database. Prints the median of N runs (5 by default) after one
// warm-up run. The generated portfolio is cached in DIR (~/.cache/photoledger-bench by default), keyed
// by size, seed, schema script and generator revision; each benchmark run works on a copy of it.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <functional>
#include <random>
#include <vector>

#include "bench/bench_figures.h"
#include "bench/server_mode.h"
#include "bench/synthetic_portfolio.h"
#include "browser/picture_list_statement.h"
#include "data/database_file.h"
#include "data/dm.h"

namespace {

using bench::median;

constexpr unsigned Seed = 20'050'101;
// Raised whenever the generator draws different portfolios from the same seed (2: previews are JPEGs).
constexpr int GeneratorRevision = 2;
// Enough entries to time the store path without collecting a whole large day page per run.
constexpr std::size_t StoredPicturesPerDay = 400;

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Wall-clock and processor time (of this process, the embedded engine included) of one measurement.
// The processor time shows the work done when other programs compete for the machine.
struct Sample
{
    double wall, cpu;
};

class Stopwatch
{
public:
    Sample elapsed() const
    {
        return {secondsSince(wallStart_), static_cast<double>(std::clock() - cpuStart_) / CLOCKS_PER_SEC};
    }

private:
    Clock::time_point wallStart_ = Clock::now();
    std::clock_t cpuStart_ = std::clock();
};

Sample median(const std::vector<Sample>& samples)
{
    std::vector<double> walls, cpus;
    for (const Sample& sample : samples) {
        walls.push_back(sample.wall);
        cpus.push_back(sample.cpu);
    }
    return {median(walls), median(cpus)};
}

QByteArray dateLiteral(QDate date)
{
    return data::formatDate(date);
}

struct Options
{
    const bench::PortfolioSize* size = nullptr;
    int runs = 5;
    bool server = false;
    QString cacheDir = QDir::homePath() + QStringLiteral("/.cache/photoledger-bench");
};

bool parseOptions(const QStringList& arguments, Options& options)
{
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("S"))
            options.size = &bench::SizeS;
        else if (argument == QLatin1String("M"))
            options.size = &bench::SizeM;
        else if (argument == QLatin1String("L"))
            options.size = &bench::SizeL;
        else if (argument == QLatin1String("--runs") && i + 1 < arguments.size())
            options.runs = std::max(1, arguments[++i].toInt());
        else if (argument == QLatin1String("--server"))
            options.server = true;
        else if (argument == QLatin1String("--cache") && i + 1 < arguments.size())
            options.cacheDir = arguments[++i];
        else
            return false;
    }
    return options.size != nullptr;
}

// The generated portfolio's database in the cache, made when missing.
QString cachedPortfolio(const bench::SyntheticPortfolio& portfolio, const Options& options)
{
    const QByteArray schemaKey = QByteArray::number(qHash(QByteArray(data::schemaScript())), 16);
    const QString path = options.cacheDir + QStringLiteral("/portfolio-%1-%2-%3-r%4.gdb")
                                                .arg(QLatin1String(options.size->name))
                                                .arg(Seed)
                                                .arg(QLatin1String(schemaKey))
                                                .arg(GeneratorRevision);
    if (QFile::exists(path)) {
        std::printf("portfolio %s: cached in %s\n", options.size->name, qPrintable(path));
        return path;
    }
    QDir().mkpath(options.cacheDir);
    const QString partial = path + QStringLiteral(".part");
    QFile::remove(partial);
    const auto start = Clock::now();
    const std::int64_t rows = portfolio.writeDatabase(partial);
    QFile::rename(partial, path);
    std::printf("portfolio %s: generated %lld SALES rows in %.0f s into %s\n", options.size->name,
                static_cast<long long>(rows), secondsSince(start), qPrintable(path));
    return path;
}

class DatabaseBench
{
public:
    // The prefix goes before the labels of SALES_INFO and StoreSale ("Server " over a server).
    DatabaseBench(data::Tdm& dm, const bench::SyntheticPortfolio& portfolio, int runs,
                  const char* prefix = "")
        : dm_(dm), portfolio_(portfolio), runs_(runs), prefix_(prefix)
    {
    }

    void describePortfolio()
    {
        const auto count = [&](const char* sql) {
            dm_.qrExecute.setText(sql);
            dm_.qrExecute.open();
            return static_cast<long long>(dm_.qrExecute.field(0).asInt64());
        };
        std::printf("  %lld pictures, %lld SALES rows, %lld monthly roll-up rows, %lld days\n",
                    count("select count(*) from PICTURES"), count("select count(*) from SALES"),
                    count("select count(*) from SALES_BY_MONTH"), count("select count(*) from SALES_BY_DAY"));
    }

    // The grid's statement for a period, as the picture list builds it without filters.
    void salesInfo(const char* label, int folder, QDate from, QDate till)
    {
        const QByteArray sql =
            " select IDPICTURE, IDFOLDER, IDBATCH, \"TYPE\", TITLE, KEYWORDS, IMAGE, COUNT_SALES, "
            "SUM_SALES, SUM_ON_DEMAND, SUM_ON_ENHANCED, EFFICACY, EFFICACY2, MAX_DLS, "
            "ACCEPT_DATE, FIRST_SALE, LAST_SALE  from SALES_INFO(" +
            QByteArray::number(folder) + ", '" + dateLiteral(from) + "', '" + dateLiteral(till) +
            "') where 1 = 1 and COUNT_SALES <> 0 order by COUNT_SALES desc";
        std::vector<Sample> first40, all;
        int rows = 0;
        repeat([&] {
            dm_.Transaction.commitIfActive();
            const Stopwatch stopwatch;
            dm_.qrPictureInfo.setText(sql);
            dm_.qrPictureInfo.open();
            for (int row = 1; row < 40 && !dm_.qrPictureInfo.eof(); ++row)
                dm_.qrPictureInfo.next();
            first40.push_back(stopwatch.elapsed());
            dm_.qrPictureInfo.fetchAll();
            all.push_back(stopwatch.elapsed());
            rows = dm_.qrPictureInfo.recordCount();
        });
        const Sample first = median(first40), whole = median(all);
        std::printf("%sSALES_INFO %s, first 40 %.3f s (cpu %.3f s; all %d rows %.3f s, cpu %.3f s)\n",
                    prefix_, label, first.wall, first.cpu, rows, whole.wall, whole.cpu);
    }

    void diagram(const char* label, const std::vector<std::int64_t>& pictures, QDate from, QDate till)
    {
        std::vector<Sample> calls;
        std::size_t longest = 0;
        repeat([&] {
            for (std::int64_t picture : pictures) {
                const Stopwatch stopwatch;
                dm_.qrExecute.setText("select IDPICTURE, \"DIAGRAM\" from DIAGRAM(" +
                                      QByteArray::number(static_cast<qlonglong>(picture)) + ", '" +
                                      dateLiteral(from) + "', '" + dateLiteral(till) + "')");
                dm_.qrExecute.open();
                const QByteArray text =
                    dm_.qrExecute.eof() ? QByteArray() : dm_.qrExecute.field("DIAGRAM").asText();
                calls.push_back(stopwatch.elapsed());
                longest = std::max(longest, static_cast<std::size_t>(text.size()));
            }
        });
        const Sample call = median(calls);
        std::printf("DIAGRAM %-37s median %6.3f ms per call (cpu %6.3f ms), longest text %zu\n", label,
                    call.wall * 1e3, call.cpu * 1e3, longest);
    }

    void graph()
    {
        std::vector<Sample> times;
        int rows = 0;
        repeat([&] {
            dm_.Transaction.commitIfActive();
            const Stopwatch stopwatch;
            dm_.qrExecute.setText(
                "select COUNT_SALES, SUM_SALES, SUM_ONDEMAND, SUM_ENHANCED, DATE_SALES  from GRAPH");
            dm_.qrExecute.open();
            dm_.qrExecute.fetchAll();
            times.push_back(stopwatch.elapsed());
            rows = dm_.qrExecute.recordCount();
        });
        const Sample graph = median(times);
        std::printf("GRAPH %.3f s (cpu %.3f s; to its last row, %d rows)\n", graph.wall, graph.cpu, rows);
    }

    // Collects one new day per run (all entries of its day page, in page order, through StoreSale),
    // then collects the same day again. The days follow the portfolio's last day from firstNewDay on.
    // The condition, empty or beginning with ", ", follows each figure's label.
    void storeSale(const char* condition, QDate firstNewDay)
    {
        std::vector<Sample> newDay, again;
        std::vector<double> newDayWrites, againWrites;
        std::mt19937_64 random(Seed + 2);
        int entries = 0;
        int run = 0;
        const auto collect = [&](const std::vector<DayPageEntry>& page, std::vector<Sample>& times,
                                 std::vector<double>& writes) {
            const long long writtenBefore = pagesWritten();
            times.push_back(timeCollecting(page));
            writes.push_back(static_cast<double>(pagesWritten() - writtenBefore) /
                             static_cast<double>(page.size()));
        };
        repeat([&] {
            const QDate day = firstNewDay.addDays(run++);
            const std::vector<DayPageEntry> page = dayPage(day, random);
            entries = static_cast<int>(page.size());
            collect(page, newDay, newDayWrites);
            collect(page, again, againWrites);
        });
        const Sample first = median(newDay), second = median(again);
        std::printf("%sStoreSale new day%s %.0f per second (cpu %.2f ms, %.1f pages written an entry; %d "
                    "entries a run)\n",
                    prefix_, condition, entries / first.wall, first.cpu * 1e3 / entries, median(newDayWrites),
                    entries);
        std::printf("%sStoreSale again%s %.0f per second (cpu %.2f ms, %.1f pages written an entry)\n",
                    prefix_, condition, entries / second.wall, second.cpu * 1e3 / entries,
                    median(againWrites));
    }

    void setRollUpTrigger(bool active)
    {
        dm_.Transaction.commitIfActive();
        dm_.qrExecute.setText(QByteArray("ALTER TRIGGER SALES_ROLL_UP ") + (active ? "ACTIVE" : "INACTIVE"));
        dm_.qrExecute.execute();
        dm_.Transaction.commit();
    }

    // One of the count label's statements.
    void countLabel(const char* label, const QByteArray& sql)
    {
        std::vector<Sample> times;
        repeat([&] {
            dm_.Transaction.commitIfActive();
            const Stopwatch stopwatch;
            dm_.qrExecute.setText(sql);
            dm_.qrExecute.open();
            times.push_back(stopwatch.elapsed());
        });
        const Sample count = median(times);
        std::printf("Count label %s %.3f s (cpu %.3f s)\n", label, count.wall, count.cpu);
    }

private:
    struct DayPageEntry
    {
        QByteArray pictureId, title, count, money, date;
        int kind;
    };

    // The entries of a day page, for at most StoredPicturesPerDay pictures: regular downloads first,
    // then on demand, then enhanced.
    std::vector<DayPageEntry> dayPage(QDate day, std::mt19937_64& random) const
    {
        std::vector<bench::DayEntry> entries = portfolio_.dayEntries(day, random);
        entries.resize(std::min(entries.size(), StoredPicturesPerDay));
        std::vector<DayPageEntry> page;
        const QByteArray date = day.toString(QStringLiteral("yyyy-MM-dd")).toLatin1();
        const auto add = [&](const bench::DayEntry& e, int downloads, double money, int kind) {
            if (downloads == 0)
                return;
            const QByteArray id = QByteArray::number(static_cast<qlonglong>(e.pictureId));
            page.push_back({id, "Synthetic picture " + id, QByteArray::number(downloads),
                            QByteArray::number(money, 'f', 2), date, kind});
        };
        for (const auto& e : entries)
            add(e, e.regular, e.regularMoney, 0);
        for (const auto& e : entries)
            add(e, e.onDemand, e.onDemandMoney, 1);
        for (const auto& e : entries)
            add(e, e.enhanced, e.enhancedMoney, 2);
        return page;
    }

    Sample timeCollecting(const std::vector<DayPageEntry>& page)
    {
        const Stopwatch stopwatch;
        for (const DayPageEntry& e : page)
            dm_.StoreSale(e.pictureId, e.title, e.count, e.money, e.date, e.kind);
        dm_.Transaction.commitIfActive();
        return stopwatch.elapsed();
    }

    // Pages this connection has written to the database file so far (in the shared mode each process
    // writes its own pages).
    long long pagesWritten()
    {
        dm_.Transaction.commitIfActive();
        dm_.qrExecute.setText("select I.MON$PAGE_WRITES from MON$IO_STATS I join MON$ATTACHMENTS A on "
                              "A.MON$STAT_ID = I.MON$STAT_ID where A.MON$ATTACHMENT_ID = CURRENT_CONNECTION");
        dm_.qrExecute.open();
        const long long pages = dm_.qrExecute.field(0).asInt64();
        dm_.Transaction.commit();
        return pages;
    }

    // One warm-up run, then the measured runs.
    void repeat(const std::function<void()>& run)
    {
        run();
        for (int i = 0; i < runs_; ++i)
            run();
    }

    data::Tdm& dm_;
    const bench::SyntheticPortfolio& portfolio_;
    int runs_;
    const char* prefix_;
};

std::vector<std::int64_t> randomPictures(const bench::SyntheticPortfolio& portfolio, int count)
{
    std::mt19937_64 random(Seed + 3);
    std::vector<std::int64_t> ids;
    for (int i = 0; i < count; ++i)
        ids.push_back(portfolio.pictures()[random() % portfolio.pictures().size()].id);
    return ids;
}

constexpr const char* HoldOption = "--hold-read-transaction";

// Run as a second process: opens the program directory's database, reads the whole-portfolio list
// and chart in one transaction and keeps that transaction until its standard input closes.
int holdReadTransaction(const QString& appDir)
{
    data::Tdm dm(appDir);
    dm.DataModuleCreate();
    for (const char* sql :
         {"select count(*) from SALES_INFO(-1, '01.01.2005', '31.12.2030')", "select count(*) from GRAPH"}) {
        dm.qrExecute.setText(sql);
        dm.qrExecute.open();
    }
    std::printf("holding\n");
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    return 0;
}

// Starts the second process and waits until its transaction runs.
void startHolder(QProcess& holder, const QString& appDir)
{
    holder.start(QCoreApplication::applicationFilePath(), {QLatin1String(HoldOption), appDir});
    while (!holder.readAllStandardOutput().contains("holding"))
        if (!holder.waitForReadyRead(600'000))
            throw data::DbError("the process holding a read transaction did not start");
}

// The list's statement over all time and the collection of new days, with the database behind a
// Firebird server on 127.0.0.1.
void runServerBenchmarks(const bench::SyntheticPortfolio& portfolio, const QString& appDir, int runs)
{
    const std::unique_ptr<test_support::FirebirdServer> server = bench::serveProgramDatabase(appDir);
    data::Tdm dm(appDir);
    dm.DataModuleCreate();
    DatabaseBench bench(dm, portfolio, runs, "Server ");
    bench.salesInfo("all time", -1, bench::SyntheticPortfolio::firstDay(), QDate::currentDate());
    bench.storeSale("", portfolio.lastDay().addDays(1));
}

void runBenchmarks(const bench::SyntheticPortfolio& portfolio, const QString& database, int runs, bool server)
{
    QTemporaryDir work;
    const QString appDir = work.path();
    QFile::copy(database, appDir + QStringLiteral("/PHOTOLEDGER.GDB"));
    QDir(appDir).mkdir(QStringLiteral("PREVIEW"));
    QDir(appDir).mkdir(QStringLiteral("Temp"));
    if (server) {
        runServerBenchmarks(portfolio, appDir, runs);
        return;
    }
    data::Tdm dm(appDir);
    dm.DataModuleCreate();
    DatabaseBench bench(dm, portfolio, runs);
    bench.describePortfolio();
    std::printf("database file size %.0f MiB\n",
                static_cast<double>(QFileInfo(database).size()) / (1024 * 1024));

    // "All time" as the program's preset gives it; the month and the 30 days are the portfolio's last.
    const QDate allTimeFrom = bench::SyntheticPortfolio::firstDay(), today = QDate::currentDate();
    const QDate monthTill = portfolio.lastDay(), monthFrom(monthTill.year(), monthTill.month(), 1);
    const QDate yearFrom(monthTill.year(), 1, 1);
    std::printf("(one month: %s; last 30 days: %s to %s)\n",
                qPrintable(monthFrom.toString(QStringLiteral("MM.yyyy"))),
                dateLiteral(monthTill.addDays(-29)).constData(), dateLiteral(monthTill).constData());
    bench.salesInfo("all time", -1, allTimeFrom, today);
    bench.salesInfo("one month", -1, monthFrom, monthTill);
    bench.salesInfo("last 30 days", -1, monthTill.addDays(-29), monthTill);
    bench.salesInfo("all time, folder \"Folder 1\"", 2, allTimeFrom, today); // id 2: 1 is the starting folder
    bench.countLabel("one month", browser::soldPicturesCountStatement(monthFrom, monthTill));
    bench.countLabel("all time", browser::soldPicturesCountStatement(allTimeFrom, today));
    bench.countLabel("one year", browser::soldPicturesCountStatement(yearFrom, monthTill));
    bench.countLabel("pictures without sales", browser::zeroSalesCountStatement());
    bench.diagram("all time, 200 random pictures", randomPictures(portfolio, 200), allTimeFrom, today);
    bench.diagram("all time, 40 best sellers", portfolio.bestSellers(40), allTimeFrom, today);
    bench.diagram("one month, 40 best sellers", portfolio.bestSellers(40), monthFrom, monthTill);
    bench.graph();
    const QDate afterData = portfolio.lastDay().addDays(1);
    bench.storeSale("", afterData);
    {
        QProcess holder;
        startHolder(holder, appDir);
        bench.storeSale(", while another process holds a long read transaction", afterData.addDays(50));
        holder.closeWriteChannel();
        holder.waitForFinished();
    }
    bench.setRollUpTrigger(false);
    bench.storeSale(", without roll-ups (trigger off)", afterData.addDays(100));
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    if (argc == 3 && QByteArray(argv[1]) == HoldOption)
        return holdReadTransaction(QCoreApplication::arguments()[2]);
    Options options;
    if (!parseOptions(QCoreApplication::arguments(), options)) {
        std::fprintf(stderr, "usage: photoledger-bench-database S|M|L [--runs N] [--cache DIR] [--server]\n");
        return 2;
    }
    try {
        const bench::SyntheticPortfolio portfolio(*options.size, Seed);
        runBenchmarks(portfolio, cachedPortfolio(portfolio, options), options.runs, options.server);
    } catch (const data::DbError& e) {
        std::fprintf(stderr, "photoledger-bench-database: %s\n", e.what());
        return 1;
    }
    return 0;
}
