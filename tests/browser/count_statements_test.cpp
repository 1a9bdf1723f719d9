// The count label's statements against the plain counts over SALES that they replace, side by side on
// one database as it goes from empty to holding every awkward kind of row.

#include <gtest/gtest.h>

#include <QDate>

#include "browser/picture_list_statement.h"
#include "tests/support/temp_database.h"

namespace {

using test_support::DatabaseTest;

// The plain counts: every SALES row of the period, and every picture joined to all its SALES rows.
QByteArray plainSoldCount(QDate from, QDate till)
{
    return "select count(distinct IDPICTURE) from SALES where SALE_DATE >= '" + from.toString(u"dd.MM.yyyy").toLatin1() +
           "' and SALE_DATE <='" + till.toString(u"dd.MM.yyyy").toLatin1() + "' ";
}
const QByteArray PlainZeroSalesCount =
    "select count(P.ID) from PICTURES P left join SALES S on S.IDPICTURE = P.ID where s.\"COUNT\" is null";

class CountStatementsTest : public DatabaseTest
{
protected:
    void addSale(int picture, const char* date, int count)
    {
        db.execute("insert into SALES (ID, IDPICTURE, \"COUNT\", \"SUM\", SALE_DATE) values (gen_id(GEN_SALES_ID, 1), " +
                   QByteArray::number(picture) + ", " + QByteArray::number(count) + ", 0.25, '" + date + "')");
    }

    // Both statements over periods whose bounds fall on, just inside and just outside the first and
    // the last stored day, over everything, over nothing and reversed.
    void expectSameCounts(const char* state)
    {
        const QDate first(2010, 3, 1), last(2010, 5, 31);
        const std::pair<QDate, QDate> periods[] = {
            {first, last},
            {first.addDays(-1), last.addDays(1)},
            {QDate(2005, 1, 1), QDate(2030, 1, 1)},
            {first, first},
            {last, last},
            {first.addDays(1), last},
            {first, last.addDays(-1)},
            {first.addDays(-30), first},
            {last, last.addDays(30)},
            {QDate(2010, 4, 1), QDate(2010, 4, 30)},
            {QDate(2010, 4, 2), QDate(2010, 4, 2)},
            {QDate(2009, 1, 1), QDate(2009, 12, 31)},
            {last, first},
        };
        for (const auto& [from, till] : periods)
            EXPECT_EQ(db.rows(browser::soldPicturesCountStatement(from, till)), db.rows(plainSoldCount(from, till)))
                << state << ", " << qPrintable(from.toString()) << " - " << qPrintable(till.toString());
        EXPECT_EQ(db.rows(browser::zeroSalesCountStatement()), db.rows(PlainZeroSalesCount)) << state;
    }
};

TEST_F(CountStatementsTest, GiveThePlainCountsOverEveryKindOfStoredRow)
{
    for (int picture : {1, 2, 3, 4})
        db.execute("insert into PICTURES (ID, TITLE) values (" + QByteArray::number(picture) + ", 't')");
    expectSameCounts("no sales at all");

    addSale(1, "01.03.2010", 3);
    addSale(1, "31.05.2010", 1);
    addSale(2, "02.04.2010", 2);
    expectSameCounts("sales on the first and the last stored day");

    addSale(3, "15.04.2010", 0); // a day stored without downloads is a SALES row all the same
    addSale(900, "01.03.2010", 5); // a picture missing from PICTURES
    addSale(901, "20.05.2010", 1);
    expectSameCounts("a day without downloads and pictures missing from PICTURES");

    dm().StoreSale("4", "t", "2", "0.5", "2010-05-31", 0);
    dm().StoreSale("5", "new", "1", "0.25", "2010-04-30", 0);
    dm().Transaction.commit();
    expectSameCounts("the record store's rows");

    db.execute("delete from SALES where IDPICTURE = 1");
    db.execute("update SALES set SALE_DATE = '01.06.2010' where IDPICTURE = 901");
    expectSameCounts("the first stored day gone and the last one moved");
}

// The one difference: a SALES row whose COUNT is empty (the record store never writes one) made the
// join count its picture as a picture without sales, once for every such row.
TEST_F(CountStatementsTest, ZeroSalesCountsPicturesWithoutSalesRowsOnce)
{
    for (int picture : {1, 2, 3})
        db.execute("insert into PICTURES (ID, TITLE) values (" + QByteArray::number(picture) + ", 't')");
    addSale(1, "01.03.2010", 3);
    for (const char* date : {"02.03.2010", "03.03.2010"})
        db.execute(QByteArray("insert into SALES (ID, IDPICTURE, SALE_DATE) values (gen_id(GEN_SALES_ID, 1), 2, '") +
                   date + "')");
    EXPECT_EQ(db.rows(PlainZeroSalesCount).front().front(), "3");
    EXPECT_EQ(db.rows(browser::zeroSalesCountStatement()).front().front(), "1");
}

} // namespace
