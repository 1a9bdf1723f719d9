// The picture list's statement texts, to the character, and the keyword conditions.

#include <gtest/gtest.h>

#include "browser/picture_list_statement.h"
#include "platform/win1251.h"

namespace {

using browser::ColumnSort;
using browser::PictureListFilter;
using browser::SortMarker;

QByteArray selectMarch2010(const char* folder)
{
    return QByteArray(" select IDPICTURE, IDFOLDER, IDBATCH, \"TYPE\", TITLE, KEYWORDS, IMAGE, COUNT_SALES, "
                      "SUM_SALES, SUM_ON_DEMAND, SUM_ON_ENHANCED, EFFICACY, EFFICACY2, MAX_DLS, ACCEPT_DATE, "
                      "FIRST_SALE, LAST_SALE  from SALES_INFO(") +
           folder + ", '01.03.2010', '31.03.2010') where 1 = 1";
}

PictureListFilter march2010(int folderId)
{
    PictureListFilter filter;
    filter.folderId = folderId;
    filter.from = QDate(2010, 3, 1);
    filter.till = QDate(2010, 3, 31);
    return filter;
}

TEST(PictureListStatement, DefaultListIsSoldPicturesMostDownloadedFirst)
{
    EXPECT_EQ(browser::pictureListStatement(march2010(-1)),
              selectMarch2010("-1") + " and COUNT_SALES <> 0 order by COUNT_SALES desc");
}

TEST(PictureListStatement, EveryFilterInItsOrderWithTheSortMarker)
{
    PictureListFilter filter = march2010(-1);
    filter.onlyNew = filter.showZero = filter.noFolder = true;
    filter.keywords = QStringLiteral("sunset, -beach");
    filter.sort = ColumnSort{"SUM_SALES", SortMarker::Descending};
    EXPECT_EQ(browser::pictureListStatement(filter),
              selectMarch2010("-1") +
                  " and ACCEPT_DATE >= '01.03.2010' and ACCEPT_DATE <= '31.03.2010'  and IDFOLDER IS NULL "
                  " and DECODE_HTML(KEYWORDS) containing 'sunset'  and DECODE_HTML(KEYWORDS) not containing "
                  "'beach'  order by SUM_SALES desc");
}

TEST(PictureListStatement, NoFolderCountsOnlyOnTheAllPicturesEntry)
{
    PictureListFilter filter = march2010(12);
    filter.noFolder = true;
    filter.sort = ColumnSort{"IDPICTURE", SortMarker::Ascending};
    EXPECT_EQ(browser::pictureListStatement(filter),
              selectMarch2010("12") + " and COUNT_SALES <> 0 order by IDPICTURE");
}

TEST(PictureListStatement, ABatchShowsAllItsPicturesSoldOrNot)
{
    PictureListFilter filter = march2010(-1);
    filter.batchId = 5'000'000'123;
    EXPECT_EQ(browser::pictureListStatement(filter),
              selectMarch2010("-1") + " and IDBATCH = 5000000123 order by COUNT_SALES desc");
}

TEST(PictureListStatement, OnlyTheDateOfThePickersCounts)
{
    PictureListFilter filter = march2010(0);
    filter.from = QDateTime(QDate(2009, 12, 31), QTime(23, 59, 59)).date();
    EXPECT_TRUE(browser::pictureListStatement(filter).contains("SALES_INFO(0, '31.12.2009', '31.03.2010')"));
}

TEST(PictureListStatement, BlankKeywordBoxAddsNoCondition)
{
    PictureListFilter filter = march2010(-1);
    filter.keywords = QStringLiteral(" \t ");
    EXPECT_FALSE(browser::pictureListStatement(filter).contains("containing"));
    EXPECT_FALSE(browser::hasKeywords(filter.keywords));
}

struct KeywordCase
{
    const char* name;
    QString box;
    QByteArray conditions;
};

void PrintTo(const KeywordCase& c, std::ostream* os)
{
    *os << c.name;
}

class KeywordFilter : public ::testing::TestWithParam<KeywordCase>
{
};

TEST_P(KeywordFilter, BuildsTheConditions)
{
    EXPECT_EQ(browser::BuildKeywordFilter(GetParam().box), GetParam().conditions);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, KeywordFilter,
    ::testing::Values(
        KeywordCase{"HyphenInsideAWord", QStringLiteral("well-known"),
                    " and DECODE_HTML(KEYWORDS) containing 'well-known' "},
        KeywordCase{"OnlyTheFirstMinusNegates", QStringLiteral("-well-known"),
                    " and DECODE_HTML(KEYWORDS) not containing 'well-known' "},
        KeywordCase{"BlankAfterTheMinusStays", QStringLiteral("- beach"),
                    " and DECODE_HTML(KEYWORDS) not containing ' beach' "},
        KeywordCase{"LoneMinusExcludesEverything", QStringLiteral("-"),
                    " and DECODE_HTML(KEYWORDS) not containing '' "},
        KeywordCase{"TrailingCommaGivesNoEntry", QStringLiteral("sea,"),
                    " and DECODE_HTML(KEYWORDS) containing 'sea' "},
        KeywordCase{
            "EmptyEntriesAreSkipped", QStringLiteral(", sea, ,  ,sky"),
            " and DECODE_HTML(KEYWORDS) containing 'sea'  and DECODE_HTML(KEYWORDS) containing 'sky' "},
        KeywordCase{"ControlCharactersAreTrimmed", QStringLiteral("\x01 sea \x1f"),
                    " and DECODE_HTML(KEYWORDS) containing 'sea' "},
        KeywordCase{"ApostropheStaysInsideTheLiteral", QStringLiteral("o'clock, -rock'n'roll"),
                    " and DECODE_HTML(KEYWORDS) containing 'o''clock'  and DECODE_HTML(KEYWORDS) not "
                    "containing 'rock''n''roll' "},
        KeywordCase{"HostileEntryCannotEndTheLiteral", QStringLiteral("x' or 1=1 --"),
                    " and DECODE_HTML(KEYWORDS) containing 'x'' or 1=1 --' "}),
    [](const ::testing::TestParamInfo<KeywordCase>& info) { return std::string(info.param.name); });

TEST(KeywordFilter, CyrillicEntriesAreWrittenInTheDatabaseEncoding)
{
    EXPECT_EQ(browser::BuildKeywordFilter(QStringLiteral("закат")),
              " and DECODE_HTML(KEYWORDS) containing '" + platform::toWin1251(QStringLiteral("закат")) +
                  "' ");
}

} // namespace
