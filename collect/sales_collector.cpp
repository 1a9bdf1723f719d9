// The daily sales collection.

#include <QString>

#include <algorithm>
#include <exception>
#include <functional>
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
#include "data/collection_log.h"
#include "data/dm.h"
#include "platform/win1251.h"

namespace collect {

namespace {

constexpr qsizetype ProgressPerMonth = 30;

// Whether a sale day (yyyy-mm-dd) of a month page is to be read.
using DayChoice = std::function<bool(const QByteArray& day)>;

// The ticked days of the month, or every day when none is ticked.
DayChoice tickedDayChoice(const QList<QByteArray>& tickedDays)
{
    return [tickedDays](const QByteArray& day) {
        return tickedDays.isEmpty() || tickedDays.contains(day.mid(8, 2));
    };
}

class SalesRun
{
public:
    SalesRun(CollectContext& context, const PageFetcher& fetcher, data::Tdm& dm, DayChoice choice)
        : context_(context), fetcher_(fetcher), dm_(dm), log_(dm.IBDatabase1), choice_(std::move(choice))
    {
    }

    RunEnd run();

private:
    // The days of the month page that are to be read; nullopt when the page asked for the login.
    std::optional<QList<QByteArray>> saleDaysOf(const QByteArray& month);
    // False when the day page asked for the login. The read is recorded in the collection log
    // however it ends.
    bool collectDay(const QByteArray& day);
    bool readDay(const QByteArray& day, data::DayTally& tally);
    void recordFailure(const QByteArray& day, const data::DayTally& tally, const std::exception& error);
    void logDayHeading(const QByteArray& day);
    void scanDayPage(const QByteArray& day, const QList<QByteArray>& logical, data::DayTally& tally);
    void storeEntry(const QByteArray& day, SaleKind kind, const DayEntry& entry);

    CollectContext& context_;
    const PageFetcher& fetcher_;
    data::Tdm& dm_;
    data::CollectionLog log_;
    DayChoice choice_;
};

RunEnd SalesRun::run()
{
    if (!startRun(context_))
        return RunEnd::NoMonth;
    const QList<QByteArray> months = context_.tickedMonths();
    context_.setProgressMaximum(
        int(std::min<qsizetype>(months.size() * ProgressPerMonth, std::numeric_limits<int>::max())));
    for (const QByteArray& month : months) {
        if (context_.stopRequested())
            return RunEnd::Cancelled;
        const std::optional<QList<QByteArray>> days = saleDaysOf(month);
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

std::optional<QList<QByteArray>> SalesRun::saleDaysOf(const QByteArray& month)
{
    const QByteArray address = fetcher_.site().monthStats(month);
    const QList<QByteArray> page = downloadPage(fetcher_, address);
    removeScratchFile(fetcher_);
    if (promptedForLogin(context_, page, address))
        return std::nullopt;
    const QList<QByteArray> saleDays = saleDatesOf(page);
    log_.recordMonthPage(month, saleDays);
    QList<QByteArray> chosen;
    std::copy_if(saleDays.begin(), saleDays.end(), std::back_inserter(chosen), choice_);
    return chosen;
}

bool SalesRun::collectDay(const QByteArray& day)
{
    data::DayTally tally;
    try {
        const bool read = readDay(day, tally);
        log_.recordDayPage(day, tally, read ? data::DayReadEnd::Stored : data::DayReadEnd::LoginPage);
        return read;
    } catch (const std::exception& error) {
        recordFailure(day, tally, error);
        throw;
    }
}

// The run ends with the day's own error. When the log cannot take the failure either, the error says so.
void SalesRun::recordFailure(const QByteArray& day, const data::DayTally& tally, const std::exception& error)
{
    try {
        log_.recordDayPage(day, tally, data::DayReadEnd::Failed,
                           platform::toWin1251(QString::fromUtf8(error.what())));
    } catch (const std::exception& logError) {
        throw data::DbError(std::string(error.what()) + " (не записано и в журнал сбора: " + logError.what() +
                            ")");
    }
}

bool SalesRun::readDay(const QByteArray& day, data::DayTally& tally)
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
    scanDayPage(day, joinLines(page), tally);
    return true;
}

void SalesRun::logDayHeading(const QByteArray& day)
{
    context_.setLogColor(LogGreen);
    context_.appendLogLine({});
    context_.appendLogLine("========================== " + day + " ==========================");
    context_.appendLogLine({});
}

void SalesRun::scanDayPage(const QByteArray& day, const QList<QByteArray>& logical, data::DayTally& tally)
{
    SaleKind kind = SaleKind::Regular;
    for (qsizetype line = 0; line < logical.size(); ++line) {
        if (opensPictureEntry(logical[line])) {
            const DayEntry entry = readDayEntry(logical, line);
            storeEntry(day, kind, entry);
            tally.add(entry.count, entry.earnings);
        }
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
    return SalesRun(context, fetcher, dm, tickedDayChoice(context.tickedDays())).run();
}

RunEnd collectDays(CollectContext& context, const PageFetcher& fetcher, data::Tdm& dm,
                   const QList<QByteArray>& days)
{
    return SalesRun(context, fetcher, dm, [days](const QByteArray& day) { return days.contains(day); }).run();
}

} // namespace collect
