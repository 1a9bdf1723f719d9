// The daily sales collection.

#include <algorithm>
#include <limits>
#include <optional>

#include "collect/agency_site.h"
#include "collect/collect_context.h"
#include "collect/collector_steps.h"
#include "collect/collectors.h"
#include "collect/day_page.h"
#include "collect/page_fetcher.h"
#include "collect/page_lines.h"
#include "collect/sale_dates.h"
#include "data/dm.h"

namespace collect {

namespace {

constexpr qsizetype ProgressPerMonth = 30;

// The sale days of a month page, only those of the ticked days when any are ticked, in page order.
QList<QByteArray> daysToRead(const QList<QByteArray>& saleDays, const QList<QByteArray>& tickedDays)
{
    if (tickedDays.isEmpty())
        return saleDays;
    QList<QByteArray> kept;
    std::copy_if(saleDays.begin(), saleDays.end(), std::back_inserter(kept),
                 [&](const QByteArray& day) { return tickedDays.contains(day.mid(8, 2)); });
    return kept;
}

class SalesRun
{
public:
    SalesRun(CollectContext& context, const PageFetcher& fetcher, data::Tdm& dm)
        : context_(context), fetcher_(fetcher), dm_(dm)
    {
    }

    RunEnd run();

private:
    // The days of the month page that are to be read; nullopt when the page asked for the login.
    std::optional<QList<QByteArray>> saleDaysOf(const QByteArray& month, const QList<QByteArray>& tickedDays);
    // False when the day page asked for the login.
    bool collectDay(const QByteArray& day);
    void logDayHeading(const QByteArray& day);
    void scanDayPage(const QByteArray& day, const QList<QByteArray>& logical);
    void storeEntry(const QByteArray& day, SaleKind kind, const DayEntry& entry);

    CollectContext& context_;
    const PageFetcher& fetcher_;
    data::Tdm& dm_;
};

RunEnd SalesRun::run()
{
    if (!startRun(context_))
        return RunEnd::NoMonth;
    const QList<QByteArray> months = context_.tickedMonths();
    const QList<QByteArray> tickedDays = context_.tickedDays();
    context_.setProgressMaximum(
        int(std::min<qsizetype>(months.size() * ProgressPerMonth, std::numeric_limits<int>::max())));
    for (const QByteArray& month : months) {
        if (context_.stopRequested())
            return RunEnd::Cancelled;
        const std::optional<QList<QByteArray>> days = saleDaysOf(month, tickedDays);
        if (!days)
            return RunEnd::LoginPrompt;
        for (const QByteArray& day : *days) {
            if (context_.stopRequested())
                return RunEnd::Cancelled;
            if (!collectDay(day))
                return RunEnd::LoginPrompt;
            context_.stepProgress();
        }
    }
    finishRun(context_);
    return RunEnd::Finished;
}

std::optional<QList<QByteArray>> SalesRun::saleDaysOf(const QByteArray& month, const QList<QByteArray>& tickedDays)
{
    const QByteArray address = fetcher_.site().monthStats(month);
    const QList<QByteArray> page = downloadPage(fetcher_, address);
    removeScratchFile(fetcher_);
    if (promptedForLogin(context_, page, address))
        return std::nullopt;
    return daysToRead(saleDatesOf(page), tickedDays);
}

bool SalesRun::collectDay(const QByteArray& day)
{
    const QByteArray address = fetcher_.site().dayStats(day);
    const platform::DownloadResult download = fetcher_.fetchPage(address);
    logDayHeading(day);
    context_.setDateLabel(day);
    context_.processPendingMessages();
    const QList<QByteArray> page = readDownloadedPage(fetcher_, address, download);
    removeScratchFile(fetcher_);
    if (promptedForLogin(context_, page, address))
        return false;
    scanDayPage(day, joinLines(page));
    return true;
}

void SalesRun::logDayHeading(const QByteArray& day)
{
    context_.setLogColor(LogGreen);
    context_.appendLogLine({});
    context_.appendLogLine("========================== " + day + " ==========================");
    context_.appendLogLine({});
}

void SalesRun::scanDayPage(const QByteArray& day, const QList<QByteArray>& logical)
{
    SaleKind kind = SaleKind::Regular;
    for (qsizetype line = 0; line < logical.size(); ++line) {
        if (opensPictureEntry(logical[line]))
            storeEntry(day, kind, readDayEntry(logical, line));
        kind = saleKindAfter(kind, logical[line]);
        if (endsDaySales(logical[line]))
            return;
    }
}

void SalesRun::storeEntry(const QByteArray& day, SaleKind kind, const DayEntry& entry)
{
    fetcher_.fetchPreview(entry.pictureId, entry.previewAddress);
    dm_.StoreSale(entry.pictureId, entry.title, entry.count, entry.earnings, day, int(kind));
    if (kind == SaleKind::OnDemand)
        context_.setLogColor(LogBlue);
    else if (kind == SaleKind::Enhanced)
        context_.setLogColor(LogRed);
    context_.appendLogLine(entry.pictureId + " [" + entry.count + "/" + entry.earnings + "] " + entry.title);
    context_.scrollLogPageDown();
    context_.processPendingMessages();
}

} // namespace

RunEnd collectSales(CollectContext& context, const PageFetcher& fetcher, data::Tdm& dm)
{
    return SalesRun(context, fetcher, dm).run();
}

} // namespace collect
