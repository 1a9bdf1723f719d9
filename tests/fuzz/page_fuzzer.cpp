// Feeds arbitrary bytes to the page readers as a page, and arbitrary markers to ExtractBetween.
// Any crash, sanitizer report or broken invariant (a trap) is a finding.
#include <fuzzer/FuzzedDataProvider.h>

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

// The markers of the day page and batch page entries, cut from every logical line as the
// collectors do.
void extractEntryValues(const QList<QByteArray>& logical)
{
    static const QByteArrayView markers[][2] = {
        {"alt=\"stock photo :", "\""}, {"src=\"", "\""}, {"href=\"", "\""},       {"id=", ""},
        {">", "<"},                    {">$", "<"},      {"target=onsite>", "</a>"}, {"10px\">", "<"},
        {"photos\">", "<"},            {"center>", "<"}, {"View All", "Approved"},
    };
    for (const QByteArray& line : logical)
        for (const auto& [start, end] : markers)
            checkExtract(line, start, end);
}

void readAsPage(const QByteArray& page)
{
    const QList<QByteArray> raw = collect::rawLines(page);
    const QByteArray text = collect::pageText(raw);
    require(!text.contains('\0'));
    collect::startPageSign(text);
    try {
        for (const QByteArray& day : collect::saleDatesOf(raw))
            require(day.size() == 10);
    } catch (const collect::PageError&) {
    }
    try {
        const QList<QByteArray> logical = collect::joinLines(raw);
        for (const QByteArray& line : logical)
            require(line.startsWith('<') && isTrimmed(line));
        extractEntryValues(logical);
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
