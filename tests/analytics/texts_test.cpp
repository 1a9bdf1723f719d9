// How keywords are told apart, and how report tables leave the program as text.

#include <gtest/gtest.h>

#include "analytics/group_figures.h"
#include "analytics/report_table.h"
#include "platform/win1251.h"

namespace {

using namespace analytics;
using namespace Qt::Literals::StringLiterals;

TEST(KeywordsTest, SplitOnCommasTrimmedCaseFoldedDecodedOncePerPicture)
{
    struct Case
    {
        const char* name;
        QString stored;
        QStringList keywords;
    };
    const Case cases[] = {
        {"plain", u"sunset, sea,beach"_s, {u"sunset"_s, u"sea"_s, u"beach"_s}},
        {"case and blanks", u"  Sunset ,SUNSET,\tsunset  "_s, {u"sunset"_s}},
        {"only commas and blanks", u" , ,,  ,"_s, {}},
        {"empty", u""_s, {}},
        {"references",
         u"Tom &amp; Jerry, caf&eacute;, &#1052;&#1086;&#1088;&#1077;"_s,
         {u"tom & jerry"_s, u"café"_s, u"море"_s}},
        {"a reference that is a comma splits", u"one&#44;two"_s, {u"one"_s, u"two"_s}},
        {"cyrillic", u"Закат, ЗАКАТ, море"_s, {u"закат"_s, u"море"_s}},
        {"malformed reference stays", u"a &amp b"_s, {u"a &amp b"_s}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(splitKeywords(platform::toWin1251(c.stored)), c.keywords) << c.name;
}

TEST(ReportTableTest, CellsAndLinesInTheRussianSpreadsheetForms)
{
    struct Case
    {
        ReportCell cell;
        QString text;
    };
    const Case cases[] = {
        {ReportCell::money(1234.5), u"1234,50"_s},  {ReportCell::money(0.005), u"0,01"_s},
        {ReportCell::count(20000), u"20000"_s},     {ReportCell::percent(0.4567), u"45,7"_s},
        {ReportCell::decimal(18), u"18,0"_s},       {ReportCell::decimal(std::nullopt), u""_s},
        {ReportCell::label(u"=1+2"_s), u"'=1+2"_s}, {ReportCell::label(u"без партии"_s), u"без партии"_s},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.cell.display(), c.text);

    GroupFigures batch;
    batch.name = u"4711"_s;
    batch.batchId = 4711;
    batch.accepted = QDate(2024, 3, 5);
    batch.pictures = 4;
    batch.picturesSold = 1;
    batch.sales = {3, 1.5};
    batch.index = 250;
    const ReportTable table = groupTable({batch}, GroupKind::Batch);
    EXPECT_EQ(table.rowBatches, (std::vector<std::optional<std::int64_t>>{4711}));
    EXPECT_EQ(tableText(table, platform::SheetForm::Csv),
              u"Партия;Дата приемки;Изображений;Продано, %;Продаж;Заработок;На изображение;"
              "Индекс\r\n4711;05.03.2024;4;25,0;3;1,50;0,38;250,0\r\n"_s);
    EXPECT_EQ(tableText(table, platform::SheetForm::Clipboard, {0}).count(u'\t'), 14);
}

} // namespace
