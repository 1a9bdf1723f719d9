// The list's text for spreadsheets over a real database: hostile titles in the CSV and the clipboard
// form, read with their character references decoded, and the fixed forms of numbers and dates.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QLocale>

#include "browser/picture_list_export.h"
#include "browser/picture_list_statement.h"
#include "data/sql_text.h"
#include "platform/win1251.h"
#include "tests/support/temp_database.h"

namespace {

using namespace browser;
using namespace Qt::Literals::StringLiterals;

class ListExportTest : public test_support::DatabaseTest
{
protected:
    // The CSV of the list of March 2010, as UTF-8 bytes.
    std::string csv(const std::vector<PictureColumn>& columns)
    {
        PictureListFilter filter;
        filter.folderId = -1;
        filter.from = QDate(2010, 3, 1);
        filter.till = QDate(2010, 3, 31);
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        EXPECT_TRUE(
            writeCsv(dm().IBDatabase1, dm().Transaction, pictureListStatement(filter), columns, buffer));
        return buffer.data().toStdString();
    }
};

TEST_F(ListExportTest, HostileTitlesStayOneFieldEachInBothForms)
{
    struct Case
    {
        QString title, csvField, clipboardField;
    };
    const QString formula = uR"x("'=HYPERLINK(""http://x.test"";""Открыть"")")x"_s;
    const Case cases[] = {
        {u"Закат над морем"_s, u"Закат над морем"_s, u"Закат над морем"_s},
        {u"Say \"cheese\""_s, uR"("Say ""cheese""")"_s, uR"("Say ""cheese""")"_s},
        {u"red; blue"_s, u"\"red; blue\""_s, u"red; blue"_s},
        {u"one\r\ntwo\nthree"_s, u"\"one\r\ntwo\nthree\""_s, u"\"one\r\ntwo\nthree\""_s},
        {u"left\tright"_s, u"left\tright"_s, u"\"left\tright\""_s},
        {u"it's 'fine'"_s, u"it's 'fine'"_s, u"it's 'fine'"_s},
        {uR"x(=HYPERLINK("http://x.test";"Открыть"))x"_s, formula, formula},
        {u"-5 градусов"_s, u"'-5 градусов"_s, u"'-5 градусов"_s},
        {u"&quot;Queen&#39;s&quot; &amp; &#1058;ея"_s, uR"("""Queen's"" & Тея")"_s,
         uR"("""Queen's"" & Тея")"_s},
        {u"&#61;1+1 &amp"_s, u"'=1+1 &amp"_s, u"'=1+1 &amp"_s},
    };
    const std::vector<PictureColumn> columns{ColIdPicture, ColTitle};
    const PictureListWriter clipboard(ListTextForm::Clipboard, columns);
    EXPECT_EQ(clipboard.titleLine(), u"ID\tЗаголовок\n"_s);
    QString expectedCsv = u"\uFEFFID;Заголовок\r\n"_s;
    for (int id = 1; const Case& c : cases) {
        const QByteArray title = platform::toWin1251(c.title);
        db.execute("insert into PICTURES (ID, TITLE) values (" + QByteArray::number(id) + ", '" +
                   data::doubledQuotes(title) + "')");
        db.execute(
            "insert into SALES (ID, IDPICTURE, \"COUNT\", SALE_DATE) values (gen_id(GEN_SALES_ID, 1), " +
            QByteArray::number(id) + ", " + QByteArray::number(100 - id) + ", '15.03.2010')");
        expectedCsv += QString::number(id) + u';' + c.csvField + u"\r\n"_s;

        const data::Value idValue = data::Value::integer(id), titleValue = data::Value::text(title);
        const QString line = clipboard.rowLine([&](PictureColumn column) -> const data::Value& {
            return column == ColTitle ? titleValue : idValue;
        });
        EXPECT_EQ(line.toStdString(),
                  QString(QString::number(id++) + u'\t' + c.clipboardField + u'\n').toStdString());
    }
    EXPECT_EQ(csv(columns), expectedCsv.toStdString());
}

TEST_F(ListExportTest, NumbersAndDatesTakeTheRussianFormsWhateverTheLocale)
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    db.execute("insert into PICTURES (ID, TITLE, ACCEPT_DATE) values (7, 'Seven', '02.01.2010')");
    db.execute("insert into PICTURES (ID, TITLE) values (8, 'Eight')");
    for (const char* sale : {"7, 3, 1234.5, 0.126, 0, '05.03.2010'", "7, 2, 0.5, 0, 28, '20.03.2010'",
                             "8, 1, 0.004, null, null, '31.03.2010'"})
        db.execute(
            QByteArray(
                "insert into SALES (ID, IDPICTURE, \"COUNT\", \"SUM\", ON_DEMAND, ENHANCED, SALE_DATE) "
                "values (gen_id(GEN_SALES_ID, 1), ") +
            sale + ")");
    EXPECT_EQ(
        csv({ColIdPicture, ColCountSales, ColSumSales, ColSumOnDemand, ColSumOnEnhanced, ColAcceptDate,
             ColFirstSale, ColLastSale}),
        "\xEF\xBB\xBFID;Кол.продаж;Сумма;OnDemand;Расширенные;Дата приемки;Первая продажа;Посл.продажа\r\n"
        "7;5;1235,00;0,13;28,00;02.01.2010;05.03.2010;20.03.2010\r\n"
        "8;1;0,00;0,00;0,00;;31.03.2010;31.03.2010\r\n");
    QLocale::setDefault(previous);
}

} // namespace
