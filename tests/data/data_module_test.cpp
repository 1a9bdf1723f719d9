// The query facility: fetch on demand, the single transaction, commits closing results,
// the generator and locate.

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>

#include "tests/support/temp_database.h"

namespace {

using data::DbError;
using data::Value;

class DataModuleTest : public test_support::DatabaseTest
{
protected:
    void insertPictures(int count)
    {
        for (int id = 1; id <= count; ++id) {
            dm().qrExecute.setText("insert into PICTURES (ID, TITLE) values (" + QByteArray::number(id) +
                                   ", 't')");
            dm().qrExecute.execute();
        }
        dm().Transaction.commit();
    }
};

TEST_F(DataModuleTest, RowCountIsRowsFetchedAndEofMarksAnEmptyResult)
{
    insertPictures(1);
    dm().qrExecute.setText("select ID from PICTURES where ID=1");
    dm().qrExecute.open();
    EXPECT_EQ(dm().qrExecute.recordCount(), 1);
    EXPECT_FALSE(dm().qrExecute.eof());

    dm().qrExecute.setText("select ID from PICTURES where ID=2");
    dm().qrExecute.open();
    EXPECT_EQ(dm().qrExecute.recordCount(), 0);
    EXPECT_TRUE(dm().qrExecute.eof());
}

TEST_F(DataModuleTest, FetchAllKeepsTheCurrentRowAndNextRunsToEndOfData)
{
    insertPictures(500);
    dm().qrExecute.setText("select ID from PICTURES order by ID");
    dm().qrExecute.open();
    EXPECT_EQ(dm().qrExecute.recordCount(), 1);
    dm().qrExecute.next();
    EXPECT_EQ(dm().qrExecute.recordCount(), 2);
    dm().qrExecute.first();
    dm().qrExecute.fetchAll();
    EXPECT_EQ(dm().qrExecute.recordCount(), 500);
    EXPECT_EQ(dm().qrExecute.field("ID").asInt64(), 1);

    int seen = 0;
    for (; !dm().qrExecute.eof(); dm().qrExecute.next())
        ++seen;
    EXPECT_EQ(seen, 500);
    EXPECT_EQ(dm().qrExecute.field("ID").asInt64(), 500) << "past the end the last row stays current";
}

TEST_F(DataModuleTest, SettingAStatementClosesTheQuery)
{
    insertPictures(2);
    dm().qrExecute.setText("select ID from PICTURES");
    dm().qrExecute.open();
    dm().qrExecute.setText("select ID from PICTURES");
    EXPECT_FALSE(dm().qrExecute.isOpen()) << "even the same text closes it";
    dm().qrExecute.open();
    dm().qrExecute.setText("update PICTURES set TITLE = 'x'");
    EXPECT_NO_THROW(dm().qrExecute.execute());
}

TEST_F(DataModuleTest, ExecuteRefusesAnEmptyStatementAndAnOpenQuery)
{
    dm().qrExecute.setText("  ");
    EXPECT_THROW(dm().qrExecute.execute(), DbError);
    dm().qrExecute.setText("select ID from PICTURES");
    dm().qrExecute.open();
    EXPECT_THROW(dm().qrExecute.execute(), DbError);
}

TEST_F(DataModuleTest, CommitClosesEveryOpenResultAndEndsTheTransaction)
{
    insertPictures(3);
    dm().qrPictureInfo.setText("select ID from PICTURES");
    dm().qrPictureInfo.open();
    dm().qrExecute.setText("select ID from PICTURES");
    dm().qrExecute.open();
    dm().tbPictures.open();
    ASSERT_TRUE(dm().Transaction.inTransaction());

    dm().Transaction.commit();
    EXPECT_FALSE(dm().qrPictureInfo.isOpen());
    EXPECT_FALSE(dm().qrExecute.isOpen());
    EXPECT_FALSE(dm().tbPictures.isOpen());
    EXPECT_FALSE(dm().Transaction.inTransaction());
    EXPECT_THROW(dm().Transaction.commit(), DbError) << "committing without a transaction is an error";

    dm().qrExecute.open();
    EXPECT_TRUE(dm().Transaction.inTransaction()) << "open starts a transaction";
}

TEST_F(DataModuleTest, NothingIsCommittedBeforeAnExplicitCommitOrTheConnectionClosing)
{
    const QByteArray count = "select count(*) from PICTURES";
    dm().qrExecute.setText("insert into PICTURES (ID) values (7)");
    dm().qrExecute.execute();
    EXPECT_EQ(db.committedValue(count), 0);
    dm().Transaction.commit();
    EXPECT_EQ(db.committedValue(count), 1);

    dm().qrExecute.setText("insert into PICTURES (ID) values (8)");
    dm().qrExecute.execute();
    dm().IBDatabase1.close();
    EXPECT_EQ(db.committedValue(count), 2) << "closing the connection commits";
}

TEST_F(DataModuleTest, ARejectedStatementKeepsEarlierUncommittedChanges)
{
    dm().qrExecute.setText("insert into PICTURES (ID) values (1)");
    dm().qrExecute.execute();
    dm().qrExecute.setText("insert into PICTURES (ID) values (1)");
    EXPECT_THROW(dm().qrExecute.execute(), DbError);
    EXPECT_TRUE(dm().Transaction.inTransaction());
    dm().Transaction.commit();
    EXPECT_EQ(db.committedValue("select count(*) from PICTURES"), 1);
}

TEST_F(DataModuleTest, SalesRowsTakeConsecutiveGeneratorValues)
{
    dm().tbSales.insert();
    const std::int64_t first = dm().tbSales.field("ID").asInt64();
    dm().tbSales.setFieldText("IDPICTURE", "1");
    dm().tbSales.setFieldText("SALE_DATE", "07.05.2008");
    dm().tbSales.post();
    dm().tbSales.insert();
    EXPECT_EQ(dm().tbSales.field("ID").asInt64(), first + 1);
    dm().tbSales.setFieldText("IDPICTURE", "1");
    dm().tbSales.setFieldText("SALE_DATE", "08.05.2008");
    dm().tbSales.post();
    dm().Transaction.commit();

    dm().qrExecute.setText("select ID from SALES order by ID");
    dm().qrExecute.open();
    EXPECT_EQ(dm().qrExecute.field("ID").asInt64(), first);
}

TEST_F(DataModuleTest, StatementsRunAgainAfterACommitAndAfterReconnecting)
{
    insertPictures(2);
    const auto pictureCount = [&] {
        dm().qrExecute.setText("select count(*) from PICTURES");
        dm().qrExecute.open();
        return dm().qrExecute.field(0).asInt64();
    };
    EXPECT_EQ(pictureCount(), 2);
    dm().Transaction.commit();
    db.execute("insert into PICTURES (ID, TITLE) values (3, 't')");
    EXPECT_EQ(pictureCount(), 3) << "the same text reopened sees what was committed since";

    dm().tbSales.insert();
    const std::int64_t first = dm().tbSales.field("ID").asInt64();
    dm().tbSales.setFieldText("IDPICTURE", "1");
    dm().tbSales.setFieldText("SALE_DATE", "07.05.2008");
    dm().tbSales.post();
    dm().IBDatabase1.close();

    EXPECT_EQ(pictureCount(), 3);
    dm().tbSales.insert();
    EXPECT_EQ(dm().tbSales.field("ID").asInt64(), first + 1);
    dm().tbSales.setFieldText("IDPICTURE", "1");
    dm().tbSales.setFieldText("SALE_DATE", "08.05.2008");
    dm().tbSales.post();
    ASSERT_TRUE(
        dm().tbSales.locate("IDPICTURE", "SALE_DATE", Value::integer(1), Value::date(QDate(2008, 5, 7))));
    dm().Transaction.commit();
    EXPECT_EQ(db.committedValue("select count(*) from SALES"), 2);
}

TEST_F(DataModuleTest, AnEditPostedUnchangedWritesNothingAndAChangedOneIsWritten)
{
    db.execute("insert into SALES (ID, IDPICTURE, \"COUNT\", \"SUM\", SALE_DATE) values (1, 10, 2, 0.5, "
               "'01.01.2010')");
    const auto updatesSoFar = [&] {
        return db.committedValue("select sum(r.MON$RECORD_UPDATES) from MON$RECORD_STATS r "
                                 "join MON$ATTACHMENTS a on a.MON$STAT_ID = r.MON$STAT_ID "
                                 "where a.MON$ATTACHMENT_ID <> CURRENT_CONNECTION and a.MON$SYSTEM_FLAG = 0");
    };
    const auto postCount = [&](const QByteArray& count) {
        dm().tbSales.open();
        ASSERT_TRUE(dm().tbSales.locate("IDPICTURE", "SALE_DATE", Value::integer(10),
                                        Value::date(QDate(2010, 1, 1))));
        dm().tbSales.edit();
        dm().tbSales.setFieldText("COUNT", count);
        dm().tbSales.setFieldText("SUM", "0,5");
        dm().tbSales.post();
        dm().Transaction.commit();
    };

    const qint64 before = updatesSoFar();
    postCount("2");
    EXPECT_EQ(updatesSoFar(), before);
    postCount("3");
    EXPECT_GT(updatesSoFar(), before);
    EXPECT_EQ(db.committedValue("select \"COUNT\" from SALES where ID = 1"), 3);
}

TEST_F(DataModuleTest, PostRefusesAMissingRequiredField)
{
    dm().tbSales.insert();
    dm().tbSales.setFieldText("IDPICTURE", "1");
    EXPECT_THROW(dm().tbSales.post(), DbError);
}

TEST_F(DataModuleTest, ALocateMissKeepsTheCurrentRow)
{
    db.execute("insert into SALES (ID, IDPICTURE, \"COUNT\", SALE_DATE) values (1, 10, 1, '01.01.2010')");
    db.execute("insert into SALES (ID, IDPICTURE, \"COUNT\", SALE_DATE) values (2, 11, 1, '02.01.2010')");

    dm().qrExecute.setText("select ID, IDPICTURE, SALE_DATE from SALES order by ID");
    dm().qrExecute.open();
    dm().qrExecute.next();
    EXPECT_FALSE(
        dm().qrExecute.locate("IDPICTURE", "SALE_DATE", Value::integer(10), Value::date(QDate(2010, 1, 2))));
    EXPECT_EQ(dm().qrExecute.field("ID").asInt64(), 2);
    EXPECT_TRUE(
        dm().qrExecute.locate("IDPICTURE", "SALE_DATE", Value::integer(10), Value::date(QDate(2010, 1, 1))));
    EXPECT_EQ(dm().qrExecute.field("ID").asInt64(), 1);

    dm().tbSales.open();
    dm().tbSales.next();
    const std::int64_t current = dm().tbSales.field("ID").asInt64();
    EXPECT_FALSE(
        dm().tbSales.locate("IDPICTURE", "SALE_DATE", Value::integer(99), Value::date(QDate(2010, 1, 1))));
    EXPECT_EQ(dm().tbSales.field("ID").asInt64(), current);
    EXPECT_TRUE(
        dm().tbSales.locate("IDPICTURE", "SALE_DATE", Value::integer(11), Value::date(QDate(2010, 1, 2))));
    EXPECT_EQ(dm().tbSales.field("ID").asInt64(), 2);
}

TEST_F(DataModuleTest, TextFieldsAreCutToTheirSizeAndOtherFieldsConvertStrictly)
{
    dm().tbPictures.insert();
    dm().tbPictures.setFieldText("TITLE", QByteArray(600, 'a'));
    EXPECT_EQ(dm().tbPictures.field("TITLE").asText(), QByteArray(500, 'a'));
    dm().tbPictures.setFieldText("KEYWORDS", QByteArray(1200, 'k'));
    EXPECT_EQ(dm().tbPictures.field("KEYWORDS").asText().size(), 1000);

    EXPECT_THROW(dm().tbPictures.setFieldText("ID", "12a"), DbError);
    EXPECT_THROW(dm().tbPictures.setFieldText("ACCEPT_DATE", "31.02.2010"), DbError);
    dm().tbSales.insert();
    EXPECT_THROW(dm().tbSales.setFieldText("SUM", "0.38"), DbError) << "the decimal separator is a comma";
    dm().tbSales.setFieldText("SUM", "0,38");
    EXPECT_DOUBLE_EQ(dm().tbSales.field("SUM").asDouble(), 0.38);
}

TEST_F(DataModuleTest, BlobsAndTextsRoundTripByteForByte)
{
    QByteArray image;
    for (int i = 0; i < 70000; ++i)
        image.append(static_cast<char>(i * 7));
    const QByteArray cyrillicTitle = "\xcf\xf0\xe8\xe2\xe5\xf2 'x'"; // "Привет" in WIN1251
    dm().tbPictures.insert();
    dm().tbPictures.setFieldText("ID", "5");
    dm().tbPictures.setFieldText("TITLE", cyrillicTitle);
    dm().tbPictures.setFieldText("IMAGE", image);
    dm().tbPictures.post();
    dm().Transaction.commit();

    dm().qrExecute.setText("select TITLE, IMAGE from PICTURES where ID=5");
    dm().qrExecute.open();
    EXPECT_EQ(dm().qrExecute.field("TITLE").asText(), cyrillicTitle);
    EXPECT_EQ(dm().qrExecute.blob("IMAGE"), image);
}

TEST(DataModuleStartTest, AMissingDatabaseFileIsReportedAndNotCreated)
{
    QTemporaryDir dir;
    data::Tdm module(dir.path());
    EXPECT_THROW(module.DataModuleCreate(), DbError);
    EXPECT_EQ(data::Starting, 1);
    EXPECT_FALSE(module.IBDatabase1.connected());
    EXPECT_FALSE(QFile::exists(dir.path() + QStringLiteral("/PHOTOLEDGER.GDB")));
}

void ignoreSignal(int) {}

TEST(DataModuleStartTest, TheEngineLeavesTheProgramsTerminationSignalsAlone)
{
    std::signal(SIGTERM, ignoreSignal);
    std::signal(SIGINT, SIG_DFL);
    test_support::TempDatabase db;
    db.execute("insert into PICTURES (ID) values (1)");

    struct sigaction terminate
    {
    }, interrupt{};
    sigaction(SIGTERM, nullptr, &terminate);
    sigaction(SIGINT, nullptr, &interrupt);
    EXPECT_EQ(terminate.sa_handler, &ignoreSignal);
    EXPECT_EQ(interrupt.sa_handler, SIG_DFL) << "Ctrl+C still ends a program that set no handler";
    std::signal(SIGTERM, SIG_DFL);
}

} // namespace

// A signal that interrupts a system call (Ctrl+C during a download) leaves errno at EINTR. Closing and
// opening the connection after that must still go through: the engine retries opening its shared
// files while errno says EINTR.
TEST(DataModuleStartTest, AnInterruptedSystemCallLeftInErrnoHoldsNeitherDetachNorAttach)
{
    test_support::TempDatabase db;
    db.execute("insert into PICTURES (ID) values (1)");
    errno = EINTR;
    db.dm().IBDatabase1.close();
    EXPECT_FALSE(db.dm().IBDatabase1.connected());
    errno = EINTR;
    db.dm().IBDatabase1.connect();
    EXPECT_EQ(db.committedValue("select count(*) from PICTURES"), 1);
}
