// Titles and keywords keep the HTML character references of the pages; the picture list searches and
// sorts them by the text a person reads, through the database's DECODE_HTML.

#include <gtest/gtest.h>

#include <QDate>

#include "browser/picture_list_statement.h"
#include "data/sql_text.h"
#include "platform/html_entities.h"
#include "platform/win1251.h"
#include "tests/support/temp_database.h"

namespace {

using browser::ColumnSort;
using browser::PictureListFilter;
using browser::SortMarker;
using test_support::DatabaseTest;

struct StoredPicture
{
    const char* id;
    const char* title; // UTF-8, converted to Windows-1251 as the record store keeps it
    const char* keywords;
};

const StoredPicture Pictures[] = {
    {"1", "Apple", "salt &amp; pepper"},
    {"2", "&quot;Queen&#39;s&quot;", "rock&roll, lamp, &quot;crown&quot;"},
    {"3", "Zebra", "&#1058;ест &#x442;ест"},
    {"4", "&#1040;рбуз", "fish &amp chips"},
    {"5", "&lt;b&gt; bold", "тест, &eacute;t&eacute;"},
    {"6", "9 lives", "&unknown; &#1114112; &#xD800; &#0;"},
};

class DecodedTextTest : public DatabaseTest
{
protected:
    void SetUp() override
    {
        for (const StoredPicture& picture : Pictures) {
            db.execute(QByteArray("insert into PICTURES (ID, TITLE, KEYWORDS) values (") + picture.id +
                       ", '" + data::doubledQuotes(platform::toWin1251(QString::fromUtf8(picture.title))) +
                       "', '" +
                       data::doubledQuotes(platform::toWin1251(QString::fromUtf8(picture.keywords))) + "')");
            db.execute(QByteArray("insert into SALES (ID, IDPICTURE, \"COUNT\", \"SUM\", SALE_DATE) values "
                                  "(gen_id(GEN_SALES_ID, 1), ") +
                       picture.id + ", 1, 0.25, '10.03.2010')");
        }
    }

    // The ids of the picture list, in its order.
    QByteArrayList listedIds(const QString& keywords, const std::optional<ColumnSort>& sort)
    {
        PictureListFilter filter;
        filter.folderId = -1;
        filter.from = QDate(2010, 3, 1);
        filter.till = QDate(2010, 3, 31);
        filter.keywords = keywords;
        filter.sort = sort;
        QByteArrayList ids;
        for (const QByteArrayList& row : db.rows(browser::pictureListStatement(filter)))
            ids.append(row.front());
        return ids;
    }
};

TEST_F(DecodedTextTest, TheDatabaseDecodesAsTheProgramShows)
{
    QList<QByteArray> texts = {"",
                               "&",
                               "a&",
                               "&;",
                               "&&amp;;",
                               "&amp ;",
                               "&AMP;",
                               "&#x;",
                               "&#12a;",
                               "&#X41;&#x41;",
                               "&#65",
                               "&#000000065;",
                               "&#0000000065;",
                               "&#x10FFFF;",
                               "&#x110000;",
                               "&#xDFFF;",
                               "&abcdefghijk;",
                               "&hellip;&euro;&trade;",
                               "&#128512;",
                               "Т&eacute;&#1058;"};
    for (const StoredPicture& picture : Pictures)
        texts << picture.title << picture.keywords;
    for (const QByteArray& text : texts) {
        const QByteArray stored = platform::toWin1251(QString::fromUtf8(text));
        const QByteArrayList decoded = db.rows("select cast(DECODE_HTML('" + data::doubledQuotes(stored) +
                                               "') as varchar(4000) character set octets) from RDB$DATABASE")
                                           .front();
        EXPECT_EQ(QString::fromUtf8(decoded.front()), platform::readableText(stored)) << text.constData();
    }
}

TEST_F(DecodedTextTest, SearchAndSortFollowTheDecodedText)
{
    const struct
    {
        const char* name;
        const char* keywords;
        std::optional<ColumnSort> sort;
        QByteArrayList ids;
    } cases[] = {
        {"AmpersandFindsTheReferenceAndTheBareSign",
         "&",
         ColumnSort{"IDPICTURE", SortMarker::Ascending},
         {"1", "2", "4", "6"}},
        {"ReferenceNamesAreNoText", "amp", ColumnSort{"IDPICTURE", SortMarker::Ascending}, {"2", "4"}},
        {"QuoteFindsQuot", "\"", std::nullopt, {"2"}},
        {"NoQuotInTheReadText", "quot", std::nullopt, {}},
        {"CyrillicLetterFindsNumericReferencesInEitherCase",
         "т",
         ColumnSort{"IDPICTURE", SortMarker::Ascending},
         {"3", "5"}},
        {"ReferenceWithoutSemicolonStaysAsItStands", "&amp ", std::nullopt, {"4"}},
        {"NotContainingTheDecodedSign", "-&", ColumnSort{"IDPICTURE", SortMarker::Ascending}, {"3", "5"}},
        {"CapitalsFindSmallLetters", "ТЕСТ", ColumnSort{"IDPICTURE", SortMarker::Ascending}, {"3", "5"}},
        {"TitlesAscending", "", ColumnSort{"TITLE", SortMarker::Ascending}, {"2", "6", "5", "1", "3", "4"}},
        {"TitlesDescending", "", ColumnSort{"TITLE", SortMarker::Descending}, {"4", "3", "1", "5", "6", "2"}},
        {"KeywordsAscending",
         "",
         ColumnSort{"KEYWORDS", SortMarker::Ascending},
         {"6", "4", "2", "1", "3", "5"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(listedIds(QString::fromUtf8(c.keywords), c.sort), c.ids) << c.name;
}

} // namespace
