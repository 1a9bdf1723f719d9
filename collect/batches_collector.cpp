// The approved batches collection.

#include <algorithm>
#include <limits>

#include "collect/agency_site.h"
#include "collect/batch_pages.h"
#include "collect/collect_context.h"
#include "collect/collector_steps.h"
#include "collect/collectors.h"
#include "collect/day_page.h"
#include "collect/page_fetcher.h"
#include "collect/page_lines.h"
#include "data/dm.h"
#include "data/ids.h"
#include "data/table.h"

namespace collect {

namespace {

int clampedToInt(qint64 value)
{
    return int(std::clamp<qint64>(value, 0, std::numeric_limits<int>::max()));
}

// How the walk of one batch page ended.
enum class PageWalk
{
    Stored, // the page's pictures, if it lists any, are stored
    Cancelled,
    LoginPrompt,
};

class BatchesRun
{
public:
    BatchesRun(CollectContext& context, const PageFetcher& fetcher, data::Tdm& dm)
        : context_(context), fetcher_(fetcher), dm_(dm)
    {
    }

    RunEnd run();

private:
    void logHeading(qint64 approvedTotal);
    // Finished when the batch has been walked to its end.
    RunEnd collectBatch(const BatchLine& batch, const BatchDate& date, qint64 approvedTotal);
    void releaseBatch(const QByteArray& batchId);
    PageWalk walkPage(const QByteArray& batchId, const QByteArray& acceptDate, int page);
    void storePicture(const QByteArray& batchId, const QByteArray& acceptDate, const BatchEntry& entry);

    CollectContext& context_;
    const PageFetcher& fetcher_;
    data::Tdm& dm_;
};

RunEnd BatchesRun::run()
{
    if (!startRun(context_))
        return RunEnd::NoMonth;
    const QList<QByteArray> months = context_.tickedMonths();
    const QByteArray address = fetcher_.site().approvedBatches();
    const QList<QByteArray> page = downloadPage(fetcher_, address);
    if (promptedForLogin(context_, page, address))
        return RunEnd::LoginPrompt;
    const qint64 total = approvedTotal(pageText(page));
    context_.setProgressMaximum(clampedToInt(total));
    logHeading(total);
    for (qsizetype line = 0; line < page.size(); ++line) {
        if (context_.stopRequested())
            return RunEnd::Cancelled;
        const bool batchLine = isBatchLine(page[line]);
        context_.processPendingMessages();
        if (!batchLine)
            continue;
        const BatchLine batch = readBatchLine(page, line);
        const BatchDate date = splitBatchDate(batch.date);
        if (!months.contains(date.month))
            continue;
        if (const RunEnd end = collectBatch(batch, date, total); end != RunEnd::Finished)
            return end;
        context_.stepProgress();
    }
    finishRun(context_);
    return RunEnd::Finished;
}

void BatchesRun::logHeading(qint64 approvedTotal)
{
    context_.setLogColor(LogGreen);
    context_.appendLogLine({});
    context_.appendLogLine("========================== View All " + QByteArray::number(approvedTotal) +
                           " Approved Photos ==========================");
    context_.appendLogLine({});
    context_.processPendingMessages();
}

// The batch id and date are checked before the batch is released, so that a batch whose pictures
// could not be stored keeps its pictures.
RunEnd BatchesRun::collectBatch(const BatchLine& batch, const BatchDate& date, qint64 approvedTotal)
{
    data::requireDecimalId(batch.batchId, "Номер пакета");
    data::parseDate(date.acceptDate);
    const qint64 pages = batchPagesToWalk(batch.approvedCount, approvedTotal);
    context_.setDateLabel(date.acceptDate);
    releaseBatch(batch.batchId);
    for (int page = 1; page <= clampedToInt(pages); ++page) {
        switch (walkPage(batch.batchId, date.acceptDate, page)) {
        case PageWalk::Stored:
            break;
        case PageWalk::Cancelled:
            return RunEnd::Cancelled;
        case PageWalk::LoginPrompt:
            return RunEnd::LoginPrompt;
        }
    }
    return RunEnd::Finished;
}

// The batch's membership is rebuilt from its pages: a picture no longer listed there ends without
// a batch.
void BatchesRun::releaseBatch(const QByteArray& batchId)
{
    dm_.qrExecute.close();
    dm_.qrExecute.setText("update PICTURES set IDBATCH = NULL where IDBATCH = " + batchId);
    dm_.qrExecute.execute();
    dm_.Transaction.commit();
}

PageWalk BatchesRun::walkPage(const QByteArray& batchId, const QByteArray& acceptDate, int page)
{
    const QList<QByteArray> raw = downloadPage(fetcher_, fetcher_.site().batchPage(batchId, page));
    if (promptedForLogin(context_, raw, fetcher_.site().batchInBrowser(batchId)))
        return PageWalk::LoginPrompt;
    const QList<QByteArray> logical = joinLines(raw);
    for (qsizetype line = 0; line < logical.size(); ++line) {
        if (context_.stopRequested())
            return PageWalk::Cancelled;
        if (!opensPictureEntry(logical[line]))
            continue;
        storePicture(batchId, acceptDate, readBatchEntry(logical, line));
    }
    return PageWalk::Stored;
}

void BatchesRun::storePicture(const QByteArray& batchId, const QByteArray& acceptDate, const BatchEntry& entry)
{
    fetcher_.fetchPreview(entry.pictureId, entry.previewAddress);
    dm_.Transaction.commitIfActive();
    dm_.qrExecute.setText("select ID from PICTURES where ID=" + data::requireDecimalId(entry.pictureId, "Номер изображения"));
    dm_.qrExecute.open();
    if (!dm_.qrExecute.eof())
        dm_.UpdatePicture(entry.pictureId, entry.title, acceptDate, entry.keywords, batchId);
    else
        dm_.InsertPicture(entry.pictureId, entry.title, acceptDate, entry.keywords, batchId);
    context_.appendLogLine(acceptDate + "  [" + entry.pictureId + "]  " + entry.title);
    context_.scrollLogPageDown();
    context_.processPendingMessages();
}

} // namespace

RunEnd collectBatches(CollectContext& context, const PageFetcher& fetcher, data::Tdm& dm)
{
    return BatchesRun(context, fetcher, dm).run();
}

} // namespace collect
