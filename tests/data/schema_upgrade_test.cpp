// Opening a database made by the previous version of the program: its roll-ups caught up from a mark of
// SALES ids, with rows stored after the mark not yet folded in.

#include <gtest/gtest.h>

#include <QFile>

#include "data/connection.h"
#include "data/dataset.h"
#include "data/sql_script.h"
#include "platform/win1251.h"
#include "tests/support/roll_up_recount.h"
#include "tests/support/temp_database.h"

namespace {

QByteArray previousSchema()
{
    QFile file(QStringLiteral(PREVIOUS_SCHEMA));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << PREVIOUS_SCHEMA;
    return platform::toWin1251(QString::fromUtf8(file.readAll()));
}

QByteArray sale(int picture, const char* date, int count)
{
    return "insert into SALES (ID, IDPICTURE, \"COUNT\", \"SUM\", SALE_DATE) values (gen_id(GEN_SALES_ID, "
           "1), " +
           QByteArray::number(picture) + ", " + QByteArray::number(count) + ", 0.25, '" + date + "')";
}

// Replaces the temporary database with one of the previous schema: sales folded in up to the mark,
// then one sale after it and a change of a folded-in one.
void makePreviousDatabase(test_support::TempDatabase& db)
{
    db.dm().IBDatabase1.close();
    ASSERT_TRUE(QFile::remove(db.databasePath()));
    data::Connection connection;
    connection.setDatabaseName(db.databasePath().toStdString());
    connection.createDatabase();
    data::runSqlScript(connection, previousSchema());
    data::runSqlStatements(connection,
                           {"insert into PICTURES (ID, TITLE) values (1, 'a')",
                            "insert into PICTURES (ID, TITLE) values (2, 'b')", sale(1, "01.05.2010", 3),
                            sale(2, "02.05.2010", 1), "execute procedure CATCH_UP_ROLL_UPS",
                            sale(2, "03.06.2010", 4), "update SALES set \"COUNT\" = 5 where IDPICTURE = 1"});
    connection.close();
}

void expectRollUpsExact(test_support::TempDatabase& db, const char* after)
{
    for (const auto& [rollUp, fromSales] : test_support::rollUpRecounts())
        EXPECT_EQ(db.rows(rollUp), db.rows(fromSales)) << rollUp.constData() << " after " << after;
}

} // namespace

TEST(SchemaUpgrade, APreviousDatabaseOpensWithExactRollUpsKeptByTheTriggerFromThenOn)
{
    test_support::TempDatabase db;
    makePreviousDatabase(db);

    db.dm().DataModuleCreate();
    expectRollUpsExact(db, "the upgrade");
    EXPECT_EQ(db.rows("select count(*) from RDB$RELATIONS where RDB$RELATION_NAME = 'ROLL_UP_STATE'"),
              std::vector<QByteArrayList>({{"0"}}));
    EXPECT_EQ(db.rows("select PICTURES_SOLD from SOLD_PICTURES('01.06.2010', '30.06.2010')"),
              std::vector<QByteArrayList>({{"1"}}));
    EXPECT_EQ(db.rows("select count(*) from SALES"), std::vector<QByteArrayList>({{"3"}}));

    db.execute(sale(1, "04.06.2010", 2));
    expectRollUpsExact(db, "a sale stored after the upgrade");

    db.dm().IBDatabase1.close();
    db.dm().DataModuleCreate();
    expectRollUpsExact(db, "a second opening");
}
