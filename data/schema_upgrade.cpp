#include "data/schema_upgrade.h"

#include <QString>

#include "data/connection.h"
#include "data/database_file.h"
#include "data/dataset.h"
#include "data/sql_script.h"
#include "platform/win1251.h"

namespace data {

namespace {

bool hasTable(Connection& connection, const char* name)
{
    Query query(connection, connection.defaultTransaction());
    query.setText(QByteArray("select count(*) from RDB$RELATIONS where RDB$RELATION_NAME = '") + name + "'");
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
    if (!hasTable(connection, "ROLL_UP_STATE"))
        return;
    std::vector<QByteArray> steps{"EXECUTE PROCEDURE CATCH_UP_ROLL_UPS"};
    for (QByteArray& routine : currentRoutines())
        steps.push_back(std::move(routine));
    // The count of the picture list no longer reads SALES by date, so its index only costs the store.
    for (const char* obsolete :
         {"DROP PROCEDURE CATCH_UP_ROLL_UPS", "DROP TABLE ROLL_UP_STATE", "DROP INDEX SALES_DATE"})
        steps.emplace_back(obsolete);
    runSqlStatements(connection, steps);
}

} // namespace data
