#include <gtest/gtest.h>

#include "platform/ascii_text.h"

using platform::indexOfIgnoreAsciiCase;
using platform::trimmedControl;

TEST(AsciiText, FoldsOnlyAsciiLetters)
{
    EXPECT_EQ(indexOfIgnoreAsciiCase("xx VIEW ALL 57", "view all"), 3);
    // Windows-1251 capital and small "А" (0xC0, 0xE0) differ: nothing outside A-Z is folded.
    EXPECT_EQ(indexOfIgnoreAsciiCase("\xC0", "\xE0"), -1);
    EXPECT_EQ(indexOfIgnoreAsciiCase("a\xE0", "A\xE0"), 0);
    // '[' (0x5B) and '{' (0x7B) are 32 apart like letters, but are not letters.
    EXPECT_EQ(indexOfIgnoreAsciiCase("{", "["), -1);
}

TEST(AsciiText, SearchesFromAPosition)
{
    EXPECT_EQ(indexOfIgnoreAsciiCase("abcabc", "ABC", 1), 3);
    EXPECT_EQ(indexOfIgnoreAsciiCase("abc", "", 3), 3);
    EXPECT_EQ(indexOfIgnoreAsciiCase("abc", "c", 4), -1);
    EXPECT_EQ(indexOfIgnoreAsciiCase("ab", "abc"), -1);
}

TEST(AsciiText, TrimsCodesUpTo32AndNothingAbove)
{
    EXPECT_EQ(trimmedControl(QByteArrayView("\x01\t 57 \r\n\x1f", 10)), "57");
    EXPECT_EQ(trimmedControl("\xA0x\xA0"), "\xA0x\xA0"); // no-break space of Windows-1251 stays
    EXPECT_EQ(trimmedControl(" \t "), "");
    EXPECT_EQ(trimmedControl(""), "");
}
