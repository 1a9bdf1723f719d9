// One database, several processes: the test's own data module and database_worker processes that
// store sales or hold a long reading transaction, run at the same time, and killed in the middle;
// each case on the file beside the program and on a database on the test's Firebird server.

#include <gtest/gtest.h>

#include <QProcess>

#include <csignal>

#include "data/roll_up_check.h"
#include "tests/support/firebird_server.h"
#include "tests/support/temp_database.h"

namespace {

using test_support::FirebirdServer;
using test_support::TempDatabase;

constexpr int Timeout = 240'000;

enum class Place { File, Server };

class SharedDatabaseTest : public ::testing::TestWithParam<Place>
{
protected:
    void SetUp() override
    {
        if (GetParam() == Place::Server)
            db.useServer(FirebirdServer::shared());
    }
    data::Tdm& dm() { return db.dm(); }

    void start(QProcess& worker, const QString& request, const QStringList& arguments = {})
    {
        worker.setProcessEnvironment(db.processEnvironment());
        worker.start(QStringLiteral(DATABASE_WORKER), QStringList{request, db.appDir()} + arguments);
        ASSERT_TRUE(worker.waitForStarted());
    }
    void startStoring(QProcess& worker, int firstPicture, int pictures, const char* firstDay, int days)
    {
        start(worker, QStringLiteral("store"),
              {QString::number(firstPicture), QString::number(pictures), QLatin1String(firstDay),
               QString::number(days)});
    }

    // The worker's next line of output that begins with the prefix (empty when it ended first).
    static QByteArray nextLine(QProcess& worker, const QByteArray& prefix)
    {
        for (;;) {
            while (worker.canReadLine()) {
                const QByteArray line = worker.readLine().trimmed();
                if (line.startsWith(prefix))
                    return line;
            }
            if (!worker.waitForReadyRead(Timeout))
                return {};
        }
    }
    static int finish(QProcess& worker)
    {
        EXPECT_TRUE(worker.state() == QProcess::NotRunning || worker.waitForFinished(Timeout));
        return worker.exitStatus() == QProcess::NormalExit ? worker.exitCode() : -1;
    }
    static void kill(QProcess& worker)
    {
        ::kill(static_cast<pid_t>(worker.processId()), SIGKILL);
        worker.waitForFinished(Timeout);
    }

    // What the other processes committed, read in a new transaction of the test's own.
    qint64 committed(const QByteArray& sql)
    {
        dm().Transaction.commitIfActive();
        return db.rows(sql).front().front().toLongLong();
    }
    void expectRollUpsExact(const char* after)
    {
        dm().Transaction.commitIfActive();
        EXPECT_EQ(data::rollUpDifferences(dm().IBDatabase1), QStringList()) << "after " << after;
    }

    TempDatabase db;
};

INSTANTIATE_TEST_SUITE_P(Places, SharedDatabaseTest, ::testing::Values(Place::File, Place::Server),
                         [](const auto& place) { return place.param == Place::File ? "File" : "Server"; });

TEST_P(SharedDatabaseTest, AWriterIsNeitherBlockedNorFailedByAReaderHoldingItsTransaction)
{
    dm().StoreSale("1", "t", "99", "1", "2010-03-20", 0); // edited by the writer below
    dm().StoreSale("2", "t", "5", "1", "2010-03-19", 0);
    dm().Transaction.commit();
    QProcess reader, writer;
    start(reader, QStringLiteral("read"));
    const QByteArray before = nextLine(reader, "read");
    ASSERT_FALSE(before.isEmpty()) << reader.readAllStandardError().constData();

    startStoring(writer, 1, 20, "2010-03-20", 5);
    EXPECT_EQ(finish(writer), 0) << writer.readAllStandardError().constData();
    reader.write("again\n");
    EXPECT_EQ(nextLine(reader, "read"), before) << "the reader's transaction sees what it saw before";
    reader.closeWriteChannel();
    EXPECT_EQ(finish(reader), 0) << reader.readAllStandardError().constData();

    EXPECT_EQ(committed("select count(*) from SALES"), 1 + 20 * 5);
    EXPECT_EQ(committed("select \"COUNT\" from SALES where IDPICTURE = 1 and SALE_DATE = '20.03.2010'"), 21);
    expectRollUpsExact("storing beside a long reader");
}

// Both store the pictures 11 to 20 on the same days. One may give up with a clear message after
// repeated conflicts; whatever each committed is counted exactly.
TEST_P(SharedDatabaseTest, TwoWritersOfTheSameDaysAtOnceLeaveExactTotals)
{
    QProcess first, second;
    startStoring(first, 1, 20, "2010-04-01", 10);
    startStoring(second, 11, 20, "2010-04-01", 10);
    const int firstStatus = finish(first), secondStatus = finish(second);
    for (QProcess* writer : {&first, &second}) {
        const QByteArray errors = writer->readAllStandardError();
        EXPECT_TRUE(errors.isEmpty() || errors.contains("Запустите сбор ещё раз")) << errors.constData();
    }
    EXPECT_TRUE(firstStatus == 0 || secondStatus == 0);
    if (firstStatus == 0 && secondStatus == 0) {
        EXPECT_EQ(committed("select count(*) from SALES"), 30 * 10);
    }
    EXPECT_EQ(
        committed("select count(*) from SALES where \"COUNT\" <> IDPICTURE + extract(day from SALE_DATE)"),
        0);
    expectRollUpsExact("two writers of the same days");
}

// One stores the sales of pictures 1 to 20, the first ones of each among them, while the other moves
// the pictures' acceptance dates back and forth between two months: the totals by acceptance month
// keep every sale under the month its picture has.
TEST_P(SharedDatabaseTest, AcceptanceDatesChangedWhileTheSalesAreStoredLeaveExactTotals)
{
    QProcess storing, accepting;
    startStoring(storing, 1, 20, "2010-04-01", 10);
    start(accepting, QStringLiteral("accept"), {QStringLiteral("1"), QStringLiteral("20"), QStringLiteral("40")});
    const int storingStatus = finish(storing), acceptingStatus = finish(accepting);
    for (QProcess* writer : {&storing, &accepting}) {
        const QByteArray errors = writer->readAllStandardError();
        EXPECT_TRUE(errors.isEmpty() || errors.contains("Запустите сбор ещё раз")) << errors.constData();
    }
    EXPECT_TRUE(storingStatus == 0 || acceptingStatus == 0);
    expectRollUpsExact("acceptance dates changed beside the store");
}

// A sale not yet committed, the first of a picture or the first of a month of one that has sold
// before, while the other process changes the picture's acceptance month, which sees neither: the
// change waits for the sale, fails on it and is done again, moving the sale along.
TEST_P(SharedDatabaseTest, AnAcceptanceDateChangedBesideAnUncommittedSaleOfANewMonthMovesTheSaleAlong)
{
    dm().InsertPicture("5", "never sold", "", "", "");
    dm().StoreSale("6", "sold in March", "1", "0.25", "2010-03-05", 0);
    dm().Transaction.commit();
    for (const char* picture : {"5", "6"}) {
        SCOPED_TRACE(picture);
        dm().StoreSale(picture, "t", "3", "1.00", "2010-04-02", 0);
        QProcess accepting;
        start(accepting, QStringLiteral("accept"),
              {QLatin1String(picture), QStringLiteral("1"), QStringLiteral("1")});
        ASSERT_FALSE(nextLine(accepting, "accepting").isEmpty()) << accepting.readAllStandardError().constData();
        // Not finished by then when it waits for the sale, as it must.
        accepting.waitForFinished(1000);
        dm().Transaction.commit();
        EXPECT_EQ(finish(accepting), 0) << accepting.readAllStandardError().constData();
        expectRollUpsExact("the acceptance date changed beside the sale");
    }
}

TEST_P(SharedDatabaseTest, KillingEitherProcessLeavesADatabaseThatOpensWithEveryCommittedRow)
{
    QProcess reader, writer;
    start(reader, QStringLiteral("read"));
    ASSERT_FALSE(nextLine(reader, "read").isEmpty()) << reader.readAllStandardError().constData();
    startStoring(writer, 1, 10, "2010-05-01", 200);
    ASSERT_FALSE(nextLine(writer, "stored").isEmpty()) << writer.readAllStandardError().constData();
    ASSERT_FALSE(nextLine(writer, "stored").isEmpty());
    kill(writer);
    int storedDays = 2;
    while (writer.canReadLine())
        storedDays += writer.readLine().startsWith("stored") ? 1 : 0;
    kill(reader);

    // Every committed day is there; of the day being stored when the writer died, nothing or the
    // entries committed before it.
    const qint64 rows = committed("select count(*) from SALES");
    EXPECT_GE(rows, 10 * storedDays);
    EXPECT_LT(rows, 10 * (storedDays + 1));
    expectRollUpsExact("the killed writer");

    QProcess next;
    startStoring(next, 1, 10, "2011-01-01", 2);
    EXPECT_EQ(finish(next), 0) << next.readAllStandardError().constData();
    EXPECT_EQ(committed("select count(*) from SALES"), rows + 20);
    expectRollUpsExact("a writer after the killed ones");
}

} // namespace
