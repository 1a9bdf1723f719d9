// Opening a database made by an earlier version of the program: version 1 caught its roll-ups up from a
// mark of SALES ids, with rows stored after the mark not yet folded in; version 2 had no version table.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "data/connection.h"
#include "data/database_backup.h"
#include "data/database_file.h"
#include "data/dataset.h"
#include "data/roll_up_check.h"
#include "data/schema_upgrade.h"
#include "data/sql_script.h"
#include "platform/win1251.h"
#include "tests/support/firebird_server.h"
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

// A database of version 4: the current schema without the objects of later versions (the collection
// log, the decoding of titles and keywords, the roll-up by acceptance month, and the procedures and
// triggers that use it, which every upgrade makes anew), then the change that makes it older still.
void makeVersion4Database(test_support::TempDatabase& db, const QByteArray& change)
{
    db.execute("insert into PICTURES (ID, TITLE, ACCEPT_DATE) values (7, 'c', '20.04.2011')");
    db.execute(sale(7, "05.05.2011", 2));
    for (const char* drop :
         {"drop table LISTED_DAYS", "drop table MONTH_PAGE_READS", "drop table DAY_PAGE_READS",
          "drop generator GEN_COLLECTION_LOG_ID", "drop function DECODE_HTML", "drop function HTML_REFERENCE",
          "drop function UNICODE_CHARACTER", "drop table HTML_ENTITIES", "drop trigger PICTURES_COHORT",
          "drop trigger SALES_ROLL_UP", "drop procedure ROLL_UP_ADDED_SALES", "drop procedure REBUILD_ROLL_UPS",
          "drop procedure ROLL_UP_MONTH_AND_PICTURE", "drop procedure MOVE_PICTURE_MONTHS",
          "drop procedure ROLL_UP_PICTURE_COHORT", "drop procedure REBUILD_COHORT_ROLL_UP",
          "drop procedure ROLL_UP_COHORT", "drop function COHORT_OF", "drop table SALES_BY_COHORT"})
        db.execute(drop);
    db.execute(change);
    db.dm().IBDatabase1.close();
}

void makeVersion4Database(test_support::TempDatabase& db)
{
    makeVersion4Database(db, "update SCHEMA_VERSION set VERSION = 4");
}

// A database of version 4 on the test's Firebird server, whose backup before the upgrade is sent to
// this computer.
void makeVersion4DatabaseOnServer(test_support::TempDatabase& db)
{
    db.useServer(test_support::FirebirdServer::shared());
    makeVersion4Database(db);
}

// A database of the schema before the version table.
void makeUnversionedDatabase(test_support::TempDatabase& db)
{
    makeVersion4Database(db, "drop table SCHEMA_VERSION");
}

// The rows a user keeps: folders, pictures and sales, in a fixed order.
std::vector<QByteArrayList> keptRows(test_support::TempDatabase& db)
{
    std::vector<QByteArrayList> rows;
    for (const char* select :
         {"select ID, IDPARENT, TITLE from FOLDERS order by ID",
          "select ID, IDFOLDER, \"TYPE\", TITLE, KEYWORDS, ACCEPT_DATE, IDBATCH from PICTURES order by ID",
          "select ID, IDPICTURE, \"COUNT\", \"SUM\", ON_DEMAND, ENHANCED, SALE_DATE from SALES order by "
          "ID"}) {
        const std::vector<QByteArrayList> table = db.rows(select);
        rows.insert(rows.end(), table.begin(), table.end());
    }
    db.dm().IBDatabase1.close();
    return rows;
}

QStringList backups(const test_support::TempDatabase& db)
{
    return QDir(db.appDir() + QStringLiteral("/BACKUP")).entryList(QDir::Files);
}

void expectRollUpsExact(test_support::TempDatabase& db, const char* after)
{
    EXPECT_EQ(data::rollUpDifferences(db.dm().IBDatabase1), QStringList()) << "after " << after;
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

TEST(SchemaUpgrade, AnOpeningCutShortBeforeTheRollUpByAcceptanceMonthWasFilledFillsIt)
{
    test_support::TempDatabase db;
    db.execute("insert into PICTURES (ID, TITLE, ACCEPT_DATE) values (1, 'a', '20.04.2010')");
    db.execute(sale(1, "01.05.2010", 3));
    db.execute(sale(2, "02.05.2010", 1));
    db.execute("delete from SALES_BY_COHORT");
    db.dm().IBDatabase1.close();

    db.dm().DataModuleCreate();
    expectRollUpsExact(db, "the next opening");
    EXPECT_EQ(db.rows("select count(*) from SALES_BY_COHORT"), std::vector<QByteArrayList>({{"1"}}));
}

struct OlderDatabase
{
    const char* name;
    void (*make)(test_support::TempDatabase& db);
    int version;
};

class SchemaVersions : public ::testing::TestWithParam<OlderDatabase>
{
};

TEST_P(SchemaVersions, AnOlderDatabaseIsBackedUpThenUpgradedWithEveryRowKeptAndOpensAgainUntouched)
{
    test_support::TempDatabase db;
    GetParam().make(db);
    EXPECT_EQ(data::schemaVersion(db.dm().IBDatabase1), GetParam().version);
    const std::vector<QByteArrayList> before = keptRows(db);

    db.dm().DataModuleCreate();
    EXPECT_EQ(data::schemaVersion(db.dm().IBDatabase1), data::currentSchemaVersion());
    EXPECT_EQ(db.rows("select count(*) from SCHEMA_VERSION"), std::vector<QByteArrayList>({{"1"}}));
    expectRollUpsExact(db, "the upgrade");
    EXPECT_EQ(db.rows("select count(*) from SHOW_TREE(0, 0)"), db.rows("select count(*) from FOLDERS"))
        << "the folder tree lists every folder, the procedure that calls itself included";
    EXPECT_EQ(db.rows("select DECODE_HTML('&quot;a&#x62;&amp;c&deg&hellip;') from RDB$DATABASE"),
              std::vector<QByteArrayList>({{"\"ab&c&deg\x85"}}))
        << "titles and keywords are searched and sorted decoded";
    EXPECT_EQ(keptRows(db), before);

    const QStringList copies = backups(db);
    ASSERT_EQ(copies.size(), 1);
    {
        const QString restored = db.appDir() + QStringLiteral("/restored.gdb");
        data::restoreDatabase(db.appDir() + QStringLiteral("/BACKUP/") + copies[0], restored);
        data::Connection copy;
        copy.setDatabaseName(restored.toStdString());
        EXPECT_EQ(data::schemaVersion(copy), GetParam().version) << "the backup holds the database as it was";
    }

    db.dm().DataModuleCreate();
    EXPECT_EQ(backups(db), copies) << "a current database is neither backed up nor changed";
    EXPECT_EQ(keptRows(db), before);
}

INSTANTIATE_TEST_SUITE_P(SchemaUpgrade, SchemaVersions,
                         ::testing::Values(OlderDatabase{"WithRollUpMark", makePreviousDatabase, 1},
                                           OlderDatabase{"WithoutVersionTable", makeUnversionedDatabase, 2},
                                           OlderDatabase{"WithoutHtmlDecoding", makeVersion4Database, 4},
                                           OlderDatabase{"OnServer", makeVersion4DatabaseOnServer, 4}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SchemaUpgrade, ANewDatabaseRecordsTheCurrentVersion)
{
    test_support::TempDatabase db;
    EXPECT_EQ(db.rows("select VERSION from SCHEMA_VERSION"),
              std::vector<QByteArrayList>({{QByteArray::number(data::currentSchemaVersion())}}));
    EXPECT_TRUE(backups(db).isEmpty());
}
