#include "data/schema_upgrade.h"

#include <QString>

#include "data/connection.h"
#include "data/database_file.h"
#include "data/dataset.h"
#include "data/sql_script.h"
#include "platform/win1251.h"

namespace data {

namespace {

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

// Every procedure and trigger of the schema script, as a statement that creates or replaces it.
std::vector<QByteArray> currentRoutines()
{
    std::vector<QByteArray> routines;
    for (const QByteArray& statement :
         splitSqlScript(platform::toWin1251(QString::fromUtf8(schemaScript())))) {
        for (const char* kind : {"CREATE PROCEDURE ", "CREATE TRIGGER "}) {
            if (statement.startsWith(kind))
                routines.push_back("CREATE OR ALTER " + statement.mid(7));
        }
    }
    return routines;
}

} // namespace

void upgradeDatabase(Connection& connection)
{
    if (!exists(connection, "RDB$RELATIONS", "RDB$RELATION_NAME", "ROLL_UP_STATE"))
        return;
    // Each step checks what is there, so that an upgrade cut short is completed at the next opening;
    // the mark goes last.
    if (exists(connection, "RDB$PROCEDURES", "RDB$PROCEDURE_NAME", "CATCH_UP_ROLL_UPS")) {
        runSqlStatements(connection, {"EXECUTE PROCEDURE CATCH_UP_ROLL_UPS"});
        runSqlStatements(connection, currentRoutines());
        runSqlStatements(connection, {"DROP PROCEDURE CATCH_UP_ROLL_UPS"});
    }
    // The count of the picture list no longer reads SALES by date, so its index only costs the store.
    if (exists(connection, "RDB$INDICES", "RDB$INDEX_NAME", "SALES_DATE"))
        runSqlStatements(connection, {"DROP INDEX SALES_DATE"});
    runSqlStatements(connection, {"DROP TABLE ROLL_UP_STATE"});
}

} // namespace data
