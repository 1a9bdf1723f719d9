#include <gtest/gtest.h>

#include "collect/page_text.h"

using collect::ExtractBetween;

TEST(ExtractBetween, CutsTheTrimmedPieceBetweenMarkers)
{
    const struct
    {
        const char* name;
        QByteArray text, start, end, piece;
    } cases[] = {
        {"markers in any case, blank and line break trimmed", "x VIEW ALL 57\r\nApproved Photos", "View All",
         "Approved", "57"},
        {"empty end marker runs to the end", "/pic.mhtml?id=123", "id=", "", "123"},
        {"missing start marker", "abc", "View All", "Approved", ""},
        {"end marker only before the start", "Approved View All 57", "View All", "Approved", ""},
        {"first start, then the next end", "<a>1</a><a>2</a>", "<A>", "</A>", "1"},
        {"piece keeps its case", "alt=\"stock photo : Red Apple\"", "ALT=\"STOCK PHOTO :", "\"", "Red Apple"},
        {"only ASCII letters fold", "\xC0\xC1 7 \xE0", "\xE0\xC1", "\xE0", ""},
        {"Windows-1251 marker matched exactly", "\xC0\xC1 7 \xE0", "\xC0\xC1", "\xE0", "7"},
        {"end marker overlapping the start is not found inside it", "<<x", "<", "<", ""},
        {"nothing between the markers", "<td></td>", "<td>", "</td>", ""},
        {"no-break space is not trimmed", "<b>\xA0" "5\xA0</b>", "<b>", "</b>", "\xA0" "5\xA0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExtractBetween(c.text, c.start, c.end), c.piece) << c.name;
}

TEST(WholeNumber, ReadsOnlyWholeDecimalNumbers)
{
    const struct
    {
        QByteArray text;
        qint64 value;
    } cases[] = {
        {"57", 57}, {"-3", -3}, {"+4", 4}, {"007", 7}, {"", -1}, {"-", -1}, {"1.5", -1},
        {"12a", -1}, {" 1", -1}, {"0x10", -1}, {"999999999999999999", 999999999999999999},
        {"9999999999999999999", -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(collect::wholeNumberOr(c.text, -1), c.value) << c.text.constData();
}
