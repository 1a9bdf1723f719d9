#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

// The approved batches page (raw lines) and the batch pages (logical lines).
namespace collect {

// A raw line containing "review_batch.mhtml?id" (ASCII case ignored) is a batch line.
bool isBatchLine(QByteArrayView rawLine);

// One batch of the approved batches page, every value as the page writes it.
struct BatchLine
{
    QByteArray batchId;
    QByteArray date;          // mm/dd/yyyy
    QByteArray approvedCount; // the number of approved pictures
};

// The batch whose batch line is raw[batchLine]; its date and count stand 3 and 4 lines further down.
// PageError when the page ends before them.
BatchLine readBatchLine(const QList<QByteArray>& raw, qsizetype batchLine);

// A batch date mm/dd/yyyy taken apart by character positions.
struct BatchDate
{
    QByteArray month;      // yyyy-mm, compared with the ticked months
    QByteArray acceptDate; // dd.mm.yyyy, the acceptance date of the batch's pictures
};
BatchDate splitBatchDate(const QByteArray& date);

// The batch's pages, 20 pictures a page: 1 to 20 approved pictures give 1 page, 21 to 40 give 2,
// and so on without limit; a count below 1 gives none, and a count text that is no number counts
// as 1.
qint64 batchPageCount(QByteArrayView approvedCount);

// The pages of a batch that a run walks: all of batchPageCount, but no more than the contributor's
// approved total fills (at least one page). A batch never holds more pictures than the whole approved
// portfolio, so this bounds the walk of an absurd count without dropping a page of a real batch.
qint64 batchPagesToWalk(QByteArrayView approvedCount, qint64 approvedTotal);

// The approved total: the number between "View All" and "Approved" of the page text. PageError
// when it is no whole number.
qint64 approvedTotal(QByteArrayView pageText);

// One picture entry of a batch page, every value as the page writes it.
struct BatchEntry
{
    QByteArray pictureId;
    QByteArray title;
    QByteArray previewAddress;
    QByteArray keywords;
};

// The entry whose marker line is logical[markerLine] (see opensPictureEntry): its id stands on the
// 6 lines before it, its other values up to 4 lines after it. PageError when the page does not
// reach that far.
BatchEntry readBatchEntry(const QList<QByteArray>& logical, qsizetype markerLine);

} // namespace collect
