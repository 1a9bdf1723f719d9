// Storing pictures and a day's sales as the collectors hand them over: texts cut from pages.

#include <QFile>

#include <gtest/gtest.h>

#include "tests/support/temp_database.h"

namespace {

using data::DbError;

struct SaleRow
{
    int rows = 0;
    data::Value count, sum, onDemand, enhanced;
};

class RecordStoreTest : public test_support::DatabaseTest
{
protected:
    SaleRow sale(const QByteArray& pictureId, const QByteArray& date)
    {
        data::Query& q = dm().qrExecute;
        q.setText("select \"COUNT\", \"SUM\", ON_DEMAND, ENHANCED from SALES where IDPICTURE = " + pictureId +
                  " and SALE_DATE = '" + date + "'");
        q.open();
        SaleRow row;
        if (!q.eof())
            row = {1, q.field("COUNT"), q.field("SUM"), q.field("ON_DEMAND"), q.field("ENHANCED")};
        q.fetchAll();
        row.rows = q.recordCount();
        return row;
    }

    data::Value picture(const QByteArray& id, const char* column)
    {
        dm().qrExecute.setText("select * from PICTURES where ID = " + id);
        dm().qrExecute.open();
        return dm().qrExecute.field(column);
    }

    QByteArray pictureImage(const QByteArray& id)
    {
        dm().qrExecute.setText("select IMAGE from PICTURES where ID = " + id);
        dm().qrExecute.open();
        return dm().qrExecute.blob("IMAGE");
    }

    int rowCount(const QByteArray& table)
    {
        dm().qrExecute.setText("select count(*) from " + table);
        dm().qrExecute.open();
        return dm().qrExecute.field(0).asInt32();
    }

    void writePreview(const QByteArray& id, const QByteArray& bytes)
    {
        QFile file(dm().previewPath(id));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
};

TEST_F(RecordStoreTest, ASaleOfAnUnknownPictureInsertsItWithIdTitleAndPreviewOnly)
{
    const QByteArray jpeg("\xff\xd8\xff\xe0 not decoded, stored as it is \x00\x01", 38);
    writePreview("101", jpeg);
    dm().StoreSale("101", "Sunset", "3", "1.00", "2008-05-07", 0);
    dm().Transaction.commit();

    EXPECT_EQ(picture("101", "TITLE").asText(), "Sunset");
    EXPECT_TRUE(picture("101", "ACCEPT_DATE").isNull());
    EXPECT_TRUE(picture("101", "KEYWORDS").isNull());
    EXPECT_TRUE(picture("101", "IDBATCH").isNull());
    EXPECT_TRUE(picture("101", "IDFOLDER").isNull());
    EXPECT_EQ(pictureImage("101"), jpeg);

    dm().StoreSale("102", "No preview", "1", "", "2008-05-07", 0);
    dm().Transaction.commit();
    EXPECT_TRUE(pictureImage("102").isEmpty());
}

// Each case stores one day's entries twice (a day collected again) and checks the row both times.
struct DayCase
{
    const char* name;
    std::vector<std::tuple<const char*, const char*, int>> entries; // count, money, kind
    int count;
    bool sumNull, onDemandNull, enhancedNull;
};

class SaleKindsTest : public RecordStoreTest, public ::testing::WithParamInterface<DayCase>
{
};

TEST_P(SaleKindsTest, ADayCollectedTwiceGivesTheSameRow)
{
    const DayCase& c = GetParam();
    for (int pass = 1; pass <= 2; ++pass) {
        for (const auto& [count, money, kind] : c.entries)
            dm().StoreSale("7", "t", count, money, "2010-03-15", kind);
        dm().Transaction.commit();
        const SaleRow row = sale("7", "15.03.2010");
        SCOPED_TRACE("pass " + std::to_string(pass));
        EXPECT_EQ(row.rows, 1);
        EXPECT_EQ(row.count.asInt64(), c.count);
        EXPECT_EQ(row.sum.isNull(), c.sumNull);
        EXPECT_EQ(row.onDemand.isNull(), c.onDemandNull);
        EXPECT_EQ(row.enhanced.isNull(), c.enhancedNull);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, SaleKindsTest,
    ::testing::Values(DayCase{"RegularThenOnDemand", {{"3", "1.00", 0}, {"1", "2.50", 1}}, 4, false, false, true},
                      DayCase{"OnDemandOnly", {{"2", "0.50", 1}}, 2, true, false, true},
                      DayCase{"OnDemandThenEnhanced", {{"2", "0.50", 1}, {"1", "3.00", 2}}, 3, true, false, false},
                      DayCase{"EnhancedOnly", {{"2", "3.00", 2}}, 2, true, true, false},
                      DayCase{"AllThreeKinds", {{"1", "0.25", 0}, {"1", "2.50", 1}, {"1", "3.00", 2}}, 3, false,
                              false, false}),
    [](const auto& info) { return std::string(info.param.name); });

// Two days collected twice in a row, as a run over several days stores them: what the regular entries
// of one day counted must not make an enhanced-only entry of another day add to an earlier collection.
TEST_F(RecordStoreTest, EnhancedOnlyCountsStayRightWhenSeveralDaysAreCollectedAgain)
{
    for (int pass = 1; pass <= 2; ++pass) {
        dm().StoreSale("1", "a", "2", "0.50", "2010-03-14", 0);
        dm().StoreSale("2", "b", "4", "12.00", "2010-03-14", 2);
        dm().StoreSale("1", "a", "1", "3.00", "2010-03-14", 2);
        dm().StoreSale("2", "b", "1", "0.25", "2010-03-15", 0);
        dm().StoreSale("1", "a", "5", "15.00", "2010-03-15", 2);
        dm().Transaction.commit();
        SCOPED_TRACE("pass " + std::to_string(pass));
        EXPECT_EQ(sale("1", "14.03.2010").count.asInt64(), 3) << "regular and enhanced of one day add up";
        EXPECT_EQ(sale("2", "14.03.2010").count.asInt64(), 4);
        EXPECT_EQ(sale("2", "15.03.2010").count.asInt64(), 1);
        EXPECT_EQ(sale("1", "15.03.2010").count.asInt64(), 5) << "an enhanced-only day keeps its own count";
    }
}

TEST_F(RecordStoreTest, MoneyAndDatesAreConverted)
{
    dm().StoreSale("5", "t", "1", "", "2008-05-07", 0);
    dm().StoreSale("6", "t", "1", "0.38", "2008-05-07", 0);
    dm().Transaction.commit();
    EXPECT_FALSE(sale("5", "07.05.2008").sum.isNull());
    EXPECT_DOUBLE_EQ(sale("5", "07.05.2008").sum.asDouble(), 0.0);
    EXPECT_DOUBLE_EQ(sale("6", "07.05.2008").sum.asDouble(), 0.38);
    dm().qrExecute.setText("select SALE_DATE from SALES where IDPICTURE = 6");
    dm().qrExecute.open();
    EXPECT_EQ(dm().qrExecute.field("SALE_DATE").asDate(), QDate(2008, 5, 7));
}

TEST_F(RecordStoreTest, AStoredSaleStaysUncommittedUntilTheNextStoreOperation)
{
    dm().StoreSale("5", "t", "1", "1.00", "2008-05-07", 0);
    EXPECT_TRUE(dm().Transaction.inTransaction());
    EXPECT_EQ(sale("5", "07.05.2008").rows, 1) << "visible in the same transaction";
}

TEST_F(RecordStoreTest, HostileValuesAreRefusedBeforeTheyReachAStatementOrAFileName)
{
    dm().StoreSale("5", "t", "1", "1.00", "2008-05-07", 0);
    dm().Transaction.commit();

    for (const QByteArray& id : {QByteArray("1 or 1=1"), QByteArray("../x"), QByteArray(""), QByteArray("-5"),
                                 QByteArray("12345678901234567890")}) {
        SCOPED_TRACE(id.toStdString());
        EXPECT_THROW(dm().StoreSale(id, "t", "1", "1.00", "2008-05-08", 0), DbError);
        EXPECT_THROW(dm().InsertPicture(id, "t", "", "", ""), DbError);
        EXPECT_THROW(dm().UpdatePicture(id, "t", "01.01.2010", "", ""), DbError);
    }
    EXPECT_THROW(dm().InsertPicture("9", "t", "", "", "1; drop table SALES"), DbError);
    EXPECT_THROW(dm().UpdatePicture("5", "t", "01.01.2010", "", "1' or '1'='1"), DbError);
    EXPECT_THROW(dm().UpdatePicture("5", "t", "01.01.2010' --", "", ""), DbError);
    EXPECT_THROW(dm().StoreSale("5", "t", "1", "1.00", "2008-05-0'", 0), DbError);
    EXPECT_THROW(dm().StoreSale("5", "t", "x", "1.00", "2008-05-08", 0), DbError);
    EXPECT_THROW(dm().StoreSale("5", "t", "1", "1.0.0", "2008-05-08", 0), DbError);

    dm().Transaction.commitIfActive();
    EXPECT_EQ(rowCount("PICTURES"), 1);
    EXPECT_EQ(rowCount("SALES"), 1) << "nothing stored before the failures is lost";
    EXPECT_DOUBLE_EQ(sale("5", "07.05.2008").sum.asDouble(), 1.0);
}

TEST_F(RecordStoreTest, UpdatePictureQuotesTextsAndWritesTheBatch)
{
    dm().InsertPicture("1", "old", "", "", "77");
    dm().InsertPicture("2", "other", "", "", "77");
    dm().UpdatePicture("1", "It's a 'quote'", "05.06.2009", "sun's, sea", "");
    EXPECT_FALSE(dm().Transaction.inTransaction()) << "the update is committed";

    EXPECT_EQ(picture("1", "TITLE").asText(), "It's a 'quote'");
    EXPECT_EQ(picture("1", "KEYWORDS").asText(), "sun's, sea");
    EXPECT_EQ(picture("1", "ACCEPT_DATE").asDate(), QDate(2009, 6, 5));
    EXPECT_TRUE(picture("1", "IDBATCH").isNull()) << "an empty batch id sets IDBATCH to NULL";
    EXPECT_EQ(picture("2", "IDBATCH").asInt64(), 77) << "for that picture only";

    dm().UpdatePicture("2", "x", "05.06.2009", "", "88");
    EXPECT_EQ(picture("2", "IDBATCH").asInt64(), 88);
}

TEST_F(RecordStoreTest, UpdatePictureWithoutAcceptDateTouchesNothing)
{
    dm().InsertPicture("1", "old", "", "", "");
    dm().UpdatePicture("1", "new", "", "k", "5");
    EXPECT_FALSE(dm().Transaction.inTransaction());
    EXPECT_EQ(picture("1", "TITLE").asText(), "old");
}

TEST_F(RecordStoreTest, LongTitlesAreCutToTheColumnsOnInsertAndOnUpdate)
{
    dm().InsertPicture("1", QByteArray(600, 'a'), "01.02.2010", QByteArray(1100, 'k'), "3");
    EXPECT_EQ(picture("1", "TITLE").asText(), QByteArray(500, 'a'));
    EXPECT_EQ(picture("1", "KEYWORDS").asText().size(), 1000);
    EXPECT_EQ(picture("1", "ACCEPT_DATE").asDate(), QDate(2010, 2, 1));

    dm().UpdatePicture("1", QByteArray(499, 'b') + "''", "01.02.2010", QByteArray(1100, 'q'), "3");
    EXPECT_EQ(picture("1", "TITLE").asText(), QByteArray(499, 'b') + "'");
    EXPECT_EQ(picture("1", "KEYWORDS").asText(), QByteArray(1000, 'q'));
}

} // namespace
