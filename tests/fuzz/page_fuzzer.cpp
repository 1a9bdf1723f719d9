// Feeds arbitrary bytes to the page readers as every kind of page, and arbitrary markers to
// ExtractBetween.
// Any crash, sanitizer report or broken invariant (a trap) is a finding.
#include <fuzzer/FuzzedDataProvider.h>

#include "collect/batch_pages.h"
#include "collect/day_page.h"
#include "collect/login.h"
#include "collect/page_lines.h"
#include "collect/page_text.h"
#include "collect/sale_dates.h"

namespace {

void require(bool condition)
{
    if (!condition)
        __builtin_trap();
}

bool isTrimmed(const QByteArray& text)
{
    return text.isEmpty() || (static_cast<unsigned char>(text.front()) > 32 &&
                              static_cast<unsigned char>(text.back()) > 32);
}

void checkExtract(QByteArrayView text, QByteArrayView start, QByteArrayView end)
{
    const QByteArray piece = collect::ExtractBetween(text, start, end);
    require(isTrimmed(piece));
    require(piece.size() <= text.size());
}

// Reads the page as the approved batches page: every batch line with its date and page count.
void readBatchLines(const QList<QByteArray>& raw, const QByteArray& text)
{
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (!collect::isBatchLine(raw[i]))
            continue;
        try {
            const collect::BatchLine batch = collect::readBatchLine(raw, i);
            collect::splitBatchDate(batch.date);
            require(collect::batchPageCount(batch.approvedCount) >= 0);
        } catch (const collect::PageError&) {
        }
    }
    try {
        require(collect::approvedTotal(text) >= 0);
    } catch (const collect::PageError&) {
    }
}

// Reads the logical lines as a day page and as a batch page: every picture entry and heading.
void readEntries(const QList<QByteArray>& logical)
{
    collect::SaleKind kind = collect::SaleKind::Regular;
    for (qsizetype i = 0; i < logical.size(); ++i) {
        if (collect::opensPictureEntry(logical[i])) {
            try {
                collect::readDayEntry(logical, i);
            } catch (const collect::PageError&) {
            }
            try {
                collect::readBatchEntry(logical, i);
            } catch (const collect::PageError&) {
            }
        }
        kind = collect::saleKindAfter(kind, logical[i]);
        collect::endsDaySales(logical[i]);
    }
}

void readAsPage(const QByteArray& page)
{
    const QList<QByteArray> raw = collect::rawLines(page);
    const QByteArray text = collect::pageText(raw);
    require(!text.contains('\0'));
    collect::startPageSign(text);
    readBatchLines(raw, text);
    try {
        for (const QByteArray& day : collect::saleDatesOf(raw))
            require(day.size() == 10);
    } catch (const collect::PageError&) {
    }
    try {
        const QList<QByteArray> logical = collect::joinLines(raw);
        for (const QByteArray& line : logical)
            require(line.startsWith('<') && isTrimmed(line));
        readEntries(logical);
    } catch (const collect::PageError&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const std::string start = input.ConsumeRandomLengthString(40);
    const std::string end = input.ConsumeRandomLengthString(40);
    const std::string rest = input.ConsumeRemainingBytesAsString();
    const QByteArray page(rest.data(), qsizetype(rest.size()));

    checkExtract(page, QByteArrayView(start.data(), qsizetype(start.size())),
                 QByteArrayView(end.data(), qsizetype(end.size())));
    readAsPage(page);
    return 0;
}
