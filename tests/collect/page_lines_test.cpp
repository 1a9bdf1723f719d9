#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "collect/page_lines.h"

using collect::joinLines;
using collect::PageError;
using collect::rawLines;
using Lines = QList<QByteArray>;

TEST(RawLines, SplitAtCrLfCrOrLf)
{
    const struct
    {
        const char* name;
        QByteArray bytes;
        Lines lines;
    } cases[] = {
        {"empty", "", {}},
        {"CR LF", "a\r\nb\r\n", {"a", "b"}},
        {"lone CR and LF", "a\rb\nc", {"a", "b", "c"}},
        {"LF CR is two breaks", "a\n\rb", {"a", "", "b"}},
        {"empty lines kept", "a\r\n\r\n\nb", {"a", "", "", "b"}},
        {"NUL ends the page", QByteArray("a\r\nb\0c\r\nd", 9), {"a", "b"}},
        {"NUL first", QByteArray("\0a", 2), {}},
        {"Windows-1251 bytes as they are", "\xCF\xF0\xEE\xE4\xE0\xE6\xE8\r\n\xFF", {"\xCF\xF0\xEE\xE4\xE0\xE6\xE8", "\xFF"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(rawLines(c.bytes), c.lines) << c.name;
}

TEST(RawLines, PageTextEndsEveryLineWithCrLf)
{
    EXPECT_EQ(collect::pageText({"VIEW ALL 57", "Approved Photos"}), "VIEW ALL 57\r\nApproved Photos\r\n");
    EXPECT_EQ(collect::pageText({}), "");
}

TEST(RawLines, UnreadableFileIsAPageError)
{
    QTemporaryDir dir;
    EXPECT_THROW(collect::readRawLines(dir.filePath(QStringLiteral("temp.html"))), PageError);
}

TEST(JoinLines, EveryLogicalLineBeginsWithATag)
{
    EXPECT_EQ(joinLines({"<td>", "   12  ", "", "</td>"}), (Lines{"<td> 12", "</td>"}));
    EXPECT_EQ(joinLines({"  \t<a href=x>\x01", "one", "\x1f two \r", "<b>"}), (Lines{"<a href=x> one two", "<b>"}));
    EXPECT_EQ(joinLines({"", " ", "\t"}), Lines{});
}

TEST(JoinLines, TextBeforeTheFirstTagIsAPageError)
{
    EXPECT_THROW(joinLines({"", "Service unavailable", "<html>"}), PageError);
}

TEST(JoinLines, VeryLongLinesAreJoinedWhole)
{
    const QByteArray longText(1 << 20, 'x');
    const Lines logical = joinLines({"<td>", longText, longText});
    ASSERT_EQ(logical.size(), 1);
    EXPECT_EQ(logical[0].size(), 4 + 2 * (1 + longText.size()));
}

TEST(LineAt, LinesOutsideThePageAreAPageError)
{
    const Lines lines{"a", "b"};
    EXPECT_EQ(collect::lineAt(lines, 1), "b");
    EXPECT_THROW(collect::lineAt(lines, 2), PageError);
    EXPECT_THROW(collect::lineAt(lines, -1), PageError);
}

TEST(JoinLines, PageOfBytesThatAreNotTextIsAPageError)
{
    // A picture where a page was expected: its bytes stop at the first NUL and are no tag.
    const QByteArray jpeg("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\x01<html>", 17);
    EXPECT_EQ(rawLines(jpeg), Lines{"\xFF\xD8\xFF\xE0"});
    EXPECT_THROW(joinLines(rawLines(jpeg)), PageError);
    EXPECT_THROW(joinLines({"\x80\x81\x82", "<td>"}), PageError);
}
