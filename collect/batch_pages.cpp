#include "collect/batch_pages.h"

#include <algorithm>

#include "collect/page_lines.h"
#include "collect/page_text.h"
#include "platform/ascii_text.h"
#include "platform/win1251.h"

namespace collect {

namespace {

constexpr qsizetype DateLine = 3;
constexpr qsizetype CountLine = 4;

// Line distances of a batch page entry from its marker line.
constexpr qsizetype FirstIdLine = -6;
constexpr qsizetype IdLines = 4;
constexpr qsizetype ImageLine = 1;
constexpr qsizetype KeywordsLine = 4;

constexpr qint64 PicturesPerPage = 20;

} // namespace

bool isBatchLine(QByteArrayView rawLine)
{
    return platform::containsIgnoreAsciiCase(rawLine, "review_batch.mhtml?id");
}

BatchLine readBatchLine(const QList<QByteArray>& raw, qsizetype batchLine)
{
    BatchLine batch;
    batch.batchId = ExtractBetween(lineAt(raw, batchLine), "photos\">", "<");
    batch.date = ExtractBetween(lineAt(raw, batchLine + DateLine), "center>", "<");
    batch.approvedCount = ExtractBetween(lineAt(raw, batchLine + CountLine), "center>", "<");
    return batch;
}

BatchDate splitBatchDate(const QByteArray& date)
{
    const QByteArray month = date.mid(0, 2);
    const QByteArray day = date.mid(3, 2);
    const QByteArray year = date.mid(6, 4);
    return {year + '-' + month, day + '.' + month + '.' + year};
}

qint64 batchPageCount(QByteArrayView approvedCount)
{
    const qint64 count = wholeNumberOr(approvedCount, 1);
    return count < 1 ? 0 : (count + PicturesPerPage - 1) / PicturesPerPage;
}

qint64 batchPagesToWalk(QByteArrayView approvedCount, qint64 approvedTotal)
{
    const qint64 totalPages = (std::max<qint64>(approvedTotal, 1) + PicturesPerPage - 1) / PicturesPerPage;
    return std::min(batchPageCount(approvedCount), totalPages);
}

qint64 approvedTotal(QByteArrayView pageText)
{
    const QByteArray total = ExtractBetween(pageText, "View All", "Approved");
    constexpr qint64 NoNumber = -1;
    const qint64 value = wholeNumberOr(total, NoNumber);
    if (value < 0)
        throw PageError("На странице принятых пакетов нет числа принятых фотографий между \"View All\" и "
                        "\"Approved\" (там \"" + platform::fromWin1251(total.left(40)).toStdString() + "\")");
    return value;
}

BatchEntry readBatchEntry(const QList<QByteArray>& logical, qsizetype markerLine)
{
    QByteArray idLines;
    for (qsizetype line = markerLine + FirstIdLine; line < markerLine + FirstIdLine + IdLines; ++line)
        idLines += lineAt(logical, line);
    const QByteArray& image = lineAt(logical, markerLine + ImageLine);
    BatchEntry entry;
    entry.pictureId = ExtractBetween(idLines, "target=onsite>", "</a>");
    entry.title = ExtractBetween(image, "alt=\"stock photo :", "\"");
    entry.previewAddress = ExtractBetween(image, "src=\"", "\"");
    entry.keywords = ExtractBetween(lineAt(logical, markerLine + KeywordsLine), "10px\">", "<");
    return entry;
}

} // namespace collect
