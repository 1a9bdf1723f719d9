// One month of daily sales collected from the simulated agency, end to end through the collector,
// against the record store's StoreSale path on the same entries in the same run.
//
//   photoledger-bench-collect [--pictures N] [--from yyyy-mm] [--till yyyy-mm] [--month yyyy-mm] [--days N]
//                             [--rounds N]
//
// Defaults: portfolio M (20,000 pictures with sales from 2004-01 to 2008-12), the month 2008-12, every
// sale day of it, 3 rounds. A first collection fetches the previews too. Then the collection and the
// StoreSale path (the same entries stored directly) run side by side on two databases of the same kind
// with the previews on disk: new days once, the same days again in alternating rounds (medians, since
// the machine's disk is shared). Prints entries per second of each and the time shares of download,
// extraction and storing of a collection.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "bench/bench_figures.h"
#include "collect/agency_site.h"
#include "collect/collect_context.h"
#include "collect/collectors.h"
#include "collect/day_page.h"
#include "collect/page_fetcher.h"
#include "collect/page_lines.h"
#include "collect/sale_dates.h"
#include "data/database_file.h"
#include "data/dm.h"
#include "tools/agency-sim/server.h"

namespace {

using bench::median;

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

struct Options
{
    agencysim::PortfolioOptions portfolio{1, 20000, std::chrono::year(2004) / 1, std::chrono::year(2008) / 12};
    QByteArray month = "2008-12";
    int days = 0;   // 0: every sale day of the month
    int rounds = 3; // collections of the same days again, against as many StoreSale passes
};

// The collector's context with nothing on screen: the month and, when limited, its first days.
class QuietContext : public collect::CollectContext
{
public:
    QuietContext(QByteArray month, QList<QByteArray> days) : month_(std::move(month)), days_(std::move(days)) {}
    bool askYesNo(const QString&, const QString&) override { return false; }
    void openUrl(const QByteArray&) override {}
    QList<QByteArray> tickedMonths() const override { return {month_}; }
    QList<QByteArray> tickedDays() const override { return days_; }
    bool stopRequested() const override { return false; }
    void clearStopRequest() override {}
    void clearLog() override {}
    void setLogColor(collect::LogColor) override {}
    void appendLogLine(const QByteArray& line) override { entries += line.contains(" [") ? 1 : 0; }
    void scrollLogPageDown() override {}
    void setProgressMaximum(int maximum) override { maximum_ = maximum; }
    void setProgressPosition(int) override {}
    void stepProgress() override {}
    int progressMaximum() const override { return maximum_; }
    void setDateLabel(const QByteArray&) override {}
    void showError(const QString& text) override { std::fprintf(stderr, "%s\n", qPrintable(text)); }
    void showInformation(const QString&) override {}
    void processPendingMessages() override {}
    void refreshPictureList() override {}

    int entries = 0;

private:
    QByteArray month_;
    QList<QByteArray> days_;
    int maximum_ = 0;
};

struct StoredEntry
{
    collect::DayEntry entry;
    collect::SaleKind kind;
    QByteArray day;
};

// A program directory with a fresh database and its data module.
class ProgramDir
{
public:
    ProgramDir() : dir_(QDir::tempPath() + QStringLiteral("/photoledger-bench-XXXXXX"))
    {
        QDir(dir_.path()).mkdir(QStringLiteral("PREVIEW"));
        QDir(dir_.path()).mkdir(QStringLiteral("Temp"));
        data::createDatabaseFile(dir_.path() + QStringLiteral("/PHOTOLEDGER.GDB"));
        dm_ = std::make_unique<data::Tdm>(dir_.path());
        dm_->DataModuleCreate();
    }
    ~ProgramDir() { dm_->IBDatabase1.close(); }

    QString path() const { return dir_.path(); }
    data::Tdm& dm() { return *dm_; }

private:
    QTemporaryDir dir_;
    std::unique_ptr<data::Tdm> dm_;
};

collect::PageFetcher fetcherFor(const ProgramDir& dir, const agencysim::AgencyServer& server)
{
    const QString cookies = dir.path() + QStringLiteral("/Temp/cookies.txt");
    server.writeCookieFile(cookies.toStdString());
    const QByteArray base = QByteArray::fromStdString(server.baseUrl());
    platform::DownloadOptions options;
    options.cookieFile = cookies;
    return collect::PageFetcher(dir.path(), collect::AgencySite(base, base, cookies), options);
}

QList<QByteArray> saleDays(const collect::PageFetcher& fetcher, const QByteArray& month, int limit)
{
    fetcher.fetchPage(fetcher.site().monthStats(month));
    QList<QByteArray> days = collect::saleDatesOf(collect::readRawLines(fetcher.scratchFile()));
    return limit > 0 ? days.first(std::min<qsizetype>(limit, days.size())) : days;
}

// The day pages as they arrive, kept in memory.
QList<QByteArray> downloadDayPages(const collect::PageFetcher& fetcher, const QList<QByteArray>& days)
{
    QList<QByteArray> pages;
    for (const QByteArray& day : days) {
        fetcher.fetchPage(fetcher.site().dayStats(day));
        QFile file(fetcher.scratchFile());
        file.open(QIODevice::ReadOnly);
        pages.append(file.readAll());
    }
    return pages;
}

// The entries of the day pages as the collector reads them.
QList<StoredEntry> extractEntries(const QList<QByteArray>& pages, const QList<QByteArray>& days)
{
    QList<StoredEntry> entries;
    for (qsizetype page = 0; page < pages.size(); ++page) {
        const QList<QByteArray> logical = collect::joinLines(collect::rawLines(pages[page]));
        collect::SaleKind kind = collect::SaleKind::Regular;
        for (qsizetype line = 0; line < logical.size(); ++line) {
            if (collect::opensPictureEntry(logical[line]))
                entries.append({collect::readDayEntry(logical, line), kind, days[page]});
            kind = collect::saleKindAfter(kind, logical[line]);
            if (collect::endsDaySales(logical[line]))
                break;
        }
    }
    return entries;
}

double storeAll(data::Tdm& dm, const QList<StoredEntry>& entries)
{
    const Clock::time_point start = Clock::now();
    for (const StoredEntry& e : entries)
        dm.StoreSale(e.entry.pictureId, e.entry.title, e.entry.count, e.entry.earnings, e.day, int(e.kind));
    dm.Transaction.commit();
    return secondsSince(start);
}

// Fetches the preview of every picture of the entries into an empty PREVIEW folder.
double fetchPreviews(const collect::PageFetcher& fetcher, const QList<StoredEntry>& entries)
{
    const Clock::time_point start = Clock::now();
    for (const StoredEntry& e : entries)
        fetcher.fetchPreview(e.entry.pictureId, e.entry.previewAddress);
    return secondsSince(start);
}

double collectOnce(data::Tdm& dm, const collect::PageFetcher& fetcher, QuietContext& context)
{
    const Clock::time_point start = Clock::now();
    collect::collectSales(context, fetcher, dm);
    dm.Transaction.commitIfActive();
    return secondsSince(start);
}

void copyPreviews(const ProgramDir& from, const ProgramDir& to)
{
    const QDir previews(from.path() + QStringLiteral("/PREVIEW"));
    for (const QString& name : previews.entryList(QDir::Files))
        QFile::copy(previews.filePath(name), to.path() + QStringLiteral("/PREVIEW/") + name);
}

Options parse(int argc, char** argv)
{
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        const char* value = argv[i + 1];
        const auto month = [&] { return std::chrono::year(std::atoi(value)) / std::chrono::month(unsigned(std::atoi(value + 5))); };
        if (option == "--pictures")
            options.portfolio.pictures = std::atoi(value);
        else if (option == "--from")
            options.portfolio.from = month();
        else if (option == "--till")
            options.portfolio.till = month();
        else if (option == "--month")
            options.month = value;
        else if (option == "--days")
            options.days = std::atoi(value);
        else if (option == "--rounds")
            options.rounds = std::max(1, std::atoi(value));
    }
    return options;
}

} // namespace

int main(int argc, char** argv)
{
    const Options options = parse(argc, argv);
    agencysim::AgencyServer server(options.portfolio);
    server.start();

    ProgramDir first;
    const collect::PageFetcher firstFetcher = fetcherFor(first, server);
    const QList<QByteArray> days = saleDays(firstFetcher, options.month, options.days);
    QList<QByteArray> tickedDays;
    if (options.days > 0)
        for (const QByteArray& day : days)
            tickedDays.append(day.mid(8, 2));

    QuietContext firstRun(options.month, tickedDays);
    const double withPreviewsSeconds = collectOnce(first.dm(), firstFetcher, firstRun);

    Clock::time_point start = Clock::now();
    const QList<QByteArray> pages = downloadDayPages(firstFetcher, days);
    const double downloadSeconds = secondsSince(start);
    start = Clock::now();
    const QList<StoredEntry> entries = extractEntries(pages, days);
    const double extractSeconds = secondsSince(start);
    ProgramDir previews;
    const double previewSeconds = fetchPreviews(fetcherFor(previews, server), entries);

    // The collection and the StoreSale path side by side, both with the previews on disk already.
    ProgramDir collected;
    ProgramDir direct;
    copyPreviews(first, collected);
    copyPreviews(first, direct);
    const collect::PageFetcher fetcher = fetcherFor(collected, server);
    QuietContext run(options.month, tickedDays);
    const double collectNewSeconds = collectOnce(collected.dm(), fetcher, run);
    const double storeNewSeconds = storeAll(direct.dm(), entries);
    std::vector<double> collectAgain, storeAgain;
    for (int round = 0; round < options.rounds; ++round) {
        collectAgain.push_back(collectOnce(collected.dm(), fetcher, run));
        storeAgain.push_back(storeAll(direct.dm(), entries));
    }

    const double n = double(entries.size());
    const double again = median(collectAgain);
    std::printf("portfolio %d pictures, month %s, %lld day pages, %lld entries (%d logged)\n",
                options.portfolio.pictures, options.month.constData(), qlonglong(days.size()), qlonglong(entries.size()),
                firstRun.entries);
    std::printf("first collection, previews fetched: %7.1f s %6.0f entries/s (previews alone %.1f s)\n",
                withPreviewsSeconds, n / withPreviewsSeconds, previewSeconds);
    std::printf("collection, new days:               %7.1f s %6.0f entries/s\n", collectNewSeconds,
                n / collectNewSeconds);
    std::printf("StoreSale path, new days:           %7.1f s %6.0f entries/s\n", storeNewSeconds, n / storeNewSeconds);
    std::printf("collection, days again (median):    %7.1f s %6.0f entries/s\n", again, n / again);
    std::printf("StoreSale path, again (median):     %7.1f s %6.0f entries/s\n", median(storeAgain),
                n / median(storeAgain));
    std::printf("collection / StoreSale path: new days %3.0f%%, days again %3.0f%%\n",
                100 * storeNewSeconds / collectNewSeconds, 100 * median(storeAgain) / again);
    std::printf("shares of a collection of days again: download %4.1f%%, extraction %4.1f%%, storing %4.1f%%\n",
                100 * downloadSeconds / again, 100 * extractSeconds / again,
                100 * (again - downloadSeconds - extractSeconds) / again);
    return 0;
}
