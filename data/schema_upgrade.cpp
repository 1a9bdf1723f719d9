#include "data/schema_upgrade.h"

#include <QDateTime>
#include <QString>

#include <iterator>

#include "data/connection.h"
#include "data/database_backup.h"
#include "data/database_file.h"
#include "data/dataset.h"
#include "data/sql_script.h"
#include "platform/win1251.h"

namespace data {

namespace {

// Runs a statement in the connection's running transaction, without committing.
void run(Connection& connection, const QByteArray& statement)
{
    Query query(connection, connection.defaultTransaction());
    query.setText(statement);
    query.execute();
}

// Whether the system table lists an object of this name.
bool exists(Connection& connection, const char* systemTable, const char* nameColumn, const char* name)
{
    Query query(connection, connection.defaultTransaction());
    query.setText(QByteArray("select count(*) from ") + systemTable + " where " + nameColumn + " = '" + name +
                  "'");
    query.open();
    const bool found = query.field(0).asInt64() > 0;
    query.close();
    return found;
}

bool tableExists(Connection& connection, const char* name)
{
    return exists(connection, "RDB$RELATIONS", "RDB$RELATION_NAME", name);
}

// The statements of the schema script, split once.
const std::vector<QByteArray>& schemaStatements()
{
    static const std::vector<QByteArray> statements =
        splitSqlScript(platform::toWin1251(QString::fromUtf8(schemaScript())));
    return statements;
}

// The statement of the schema script that starts with these words, as whole words.
QByteArray schemaStatement(const QByteArray& start)
{
    for (const QByteArray& statement : schemaStatements()) {
        if (statement.startsWith(start) &&
            (statement.size() == start.size() || QByteArray(" \n\r\t(").contains(statement[start.size()])))
            return statement;
    }
    throw DbError("The schema script has no statement " + start.toStdString());
}

// Runs the statements of the schema script that start with these words, in this order.
void createFromSchema(Connection& connection, std::initializer_list<const char*> starts)
{
    for (const char* start : starts)
        run(connection, schemaStatement(start));
}

// Version 5: the picture list searches and sorts titles and keywords by their decoded text, through
// DECODE_HTML and its table of named references, which is filled after the upgrade has committed.
void addHtmlDecoding(Connection& connection)
{
    createFromSchema(connection, {"CREATE TABLE HTML_ENTITIES", "CREATE FUNCTION UNICODE_CHARACTER",
                                  "CREATE FUNCTION HTML_REFERENCE", "CREATE FUNCTION DECODE_HTML"});
}

// Every procedure and trigger of the schema script, as a statement that creates or replaces it, in the
// script's order. A procedure that calls itself is created first with an empty body and then altered
// to its real one, so the alterations come along.
std::vector<QByteArray> currentRoutines()
{
    std::vector<QByteArray> routines;
    for (const QByteArray& statement : schemaStatements()) {
        for (const char* kind : {"CREATE PROCEDURE ", "CREATE TRIGGER "}) {
            if (statement.startsWith(kind))
                routines.push_back("CREATE OR ALTER " + statement.mid(7));
        }
        if (statement.startsWith("ALTER PROCEDURE "))
            routines.push_back(statement);
    }
    return routines;
}

// Version 2: the roll-ups are kept by the trigger alone. The mark's last catch-up runs first, so that
// they are exact when the current trigger takes over.
void stopRollUpMark(Connection& connection)
{
    if (exists(connection, "RDB$PROCEDURES", "RDB$PROCEDURE_NAME", "CATCH_UP_ROLL_UPS"))
        run(connection, "EXECUTE PROCEDURE CATCH_UP_ROLL_UPS");
}

// Version 6: the collection log.
void addCollectionLog(Connection& connection)
{
    createFromSchema(connection, {"CREATE GENERATOR GEN_COLLECTION_LOG_ID", "CREATE TABLE MONTH_PAGE_READS",
                                  "CREATE INDEX MONTH_PAGE_READS_MONTH", "CREATE TABLE LISTED_DAYS",
                                  "CREATE TABLE DAY_PAGE_READS", "CREATE INDEX DAY_PAGE_READS_DAY"});
}

// Version 9: the sales by acceptance month, which fillCohortRollUp fills after the upgrade has
// committed.
void addCohortRollUp(Connection& connection)
{
    createFromSchema(connection, {"CREATE TABLE SALES_BY_COHORT", "CREATE FUNCTION COHORT_OF"});
}

constexpr int CohortRollUpVersion = 9;

// What a version changes over the one before, run in the upgrade's transaction without committing.
// Firebird knows a table only after the transaction that created it has committed: a step may create
// tables, but not fill one it created; it takes their statements from the schema script. Procedures
// and triggers need no step: every one takes the schema script's definition after the last step, so a
// version that changes only them has no change.
struct UpgradeStep
{
    int version;
    void (*change)(Connection& connection);
};

// Append the next version's step here, together with its objects in schema.sql.
const UpgradeStep Steps[] = {
    {2, stopRollUpMark},  {3, nullptr}, // SALES_INFO reads the pictures with their totals in one pass
    {4, nullptr}, // a stored sale brings the picture's totals along by its month's change
    {5, addHtmlDecoding}, {6, addCollectionLog},
    {7, nullptr}, // a transaction may defer the roll-ups of the SALES rows it adds
    {8, nullptr}, // the folder tree's procedure gets back the body that upgrades had left out
    {CohortRollUpVersion, addCohortRollUp},
};

// Objects of earlier versions that nothing uses any more, dropped in this order once the upgrade has
// committed. The count of the picture list no longer reads SALES by date, so SALES_DATE only cost the
// store.
struct RetiredObject
{
    const char* systemTable;
    const char* nameColumn;
    const char* name;
    const char* drop;
};

const RetiredObject Retired[] = {
    {"RDB$PROCEDURES", "RDB$PROCEDURE_NAME", "CATCH_UP_ROLL_UPS", "DROP PROCEDURE CATCH_UP_ROLL_UPS"},
    {"RDB$INDICES", "RDB$INDEX_NAME", "SALES_DATE", "DROP INDEX SALES_DATE"},
    {"RDB$RELATIONS", "RDB$RELATION_NAME", "ROLL_UP_STATE", "DROP TABLE ROLL_UP_STATE"},
};

void writeVersion(Connection& connection, int version)
{
    run(connection, "DELETE FROM SCHEMA_VERSION");
    run(connection, "INSERT INTO SCHEMA_VERSION (VERSION) VALUES (" + QByteArray::number(version) + ")");
}

void applySteps(Connection& connection, int fromVersion)
{
    Transaction& transaction = connection.defaultTransaction();
    try {
        for (const UpgradeStep& step : Steps) {
            if (step.version > fromVersion && step.change)
                step.change(connection);
        }
        for (const QByteArray& routine : currentRoutines())
            run(connection, routine);
        writeVersion(connection, currentSchemaVersion());
        transaction.commit();
    } catch (const DbError& e) {
        transaction.rollback();
        throw DbError("The upgrade of the database from version " + std::to_string(fromVersion) +
                      " failed and was undone: " + e.what());
    }
}

void dropRetiredObjects(Connection& connection)
{
    for (const RetiredObject& object : Retired) {
        if (exists(connection, object.systemTable, object.nameColumn, object.name))
            runSqlStatements(connection, {object.drop});
    }
}

// Whether SALES_BY_COHORT is empty while pictures of PICTURES have sales: an opening was cut short
// between the upgrade that made it and its filling.
bool cohortRollUpUnfilled(Connection& connection)
{
    Query query(connection, connection.defaultTransaction());
    query.setText("select count(*) from RDB$DATABASE where not exists (select 1 from SALES_BY_COHORT) and exists "
                  "(select 1 from SALES_BY_MONTH M join PICTURES P on P.ID = M.IDPICTURE)");
    query.open();
    const bool unfilled = query.field(0).asInt64() > 0;
    query.close();
    return unfilled;
}

// Fills SALES_BY_COHORT from the monthly roll-up after the upgrade that made it, or when an opening
// finds it unfilled. The triggers keep it from the upgrade's commit on, so a writer storing
// meanwhile makes the filling conflict, and it is done again over what the writer committed.
void fillCohortRollUp(Connection& connection, bool justMade)
{
    if (!justMade && !cohortRollUpUnfilled(connection))
        return;
    Transaction& transaction = connection.defaultTransaction();
    transaction.commitIfActive();
    retryOnConcurrentChange(transaction, [&] {
        run(connection, "EXECUTE PROCEDURE REBUILD_COHORT_ROLL_UP");
        transaction.commit();
    });
}

} // namespace

int currentSchemaVersion()
{
    return std::prev(std::end(Steps))->version;
}

int schemaVersion(Connection& connection)
{
    if (tableExists(connection, "SCHEMA_VERSION")) {
        Query query(connection, connection.defaultTransaction());
        query.setText("select max(VERSION) from SCHEMA_VERSION");
        query.open();
        const Value& recorded = query.field(0);
        if (!recorded.isNull())
            return static_cast<int>(recorded.asInt64());
    }
    return tableExists(connection, "ROLL_UP_STATE") ? 1 : 2;
}

void recordCurrentSchemaVersion(Connection& connection)
{
    writeVersion(connection, currentSchemaVersion());
    connection.defaultTransaction().commit();
}

void upgradeDatabase(Connection& connection, const QString& programDir)
{
    const int version = schemaVersion(connection);
    if (version > currentSchemaVersion())
        throw DbError("The database is of schema version " + std::to_string(version) +
                      ", newer than this program's " + std::to_string(currentSchemaVersion()));
    const bool versionTable = tableExists(connection, "SCHEMA_VERSION");
    const bool upgrading = version < currentSchemaVersion() || !versionTable;
    if (upgrading) {
        backUpBeforeUpgrade(connection, version, programDir);
        if (!versionTable)
            runSqlStatements(connection, {schemaStatement("CREATE TABLE SCHEMA_VERSION")});
        applySteps(connection, version);
    }
    dropRetiredObjects(connection);
    // At every opening, so that one cut short after the upgrade's commit still gets the rows.
    fillHtmlEntities(connection);
    fillCohortRollUp(connection, upgrading && version < CohortRollUpVersion);
}

void backUpBeforeUpgrade(const Connection& connection, int version, const QString& programDir)
{
    // Not named as the nightly backups are, so that their rotation never removes it.
    const QString file = backupFolder(programDir) + QStringLiteral("/before-upgrade-") + backupName(connection) +
                         QStringLiteral("-version-") + QString::number(version) +
                         QDateTime::currentDateTime().toString(QStringLiteral("-yyyyMMdd-HHmmss")) +
                         QStringLiteral(".fbk");
    backupDatabase(connection, file);
}

} // namespace data
