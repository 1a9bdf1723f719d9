#include "data/database_file.h"

#include <QFile>
#include <QFileInfo>

#include "data/connection.h"
#include "data/schema_sql.h"
#include "data/sql_script.h"
#include "platform/win1251.h"

namespace data {

const char* schemaScript()
{
    return SchemaSql;
}

void createDatabaseFile(const QString& path)
{
    if (QFileInfo::exists(path))
        throw DbError("The database file " + path.toStdString() + " already exists");
    Connection connection;
    connection.setDatabaseName(path.toStdString());
    // The schema is written without waiting for the disk at every commit; a file that cannot be
    // finished is removed anyway. Forced writes are switched on before anyone else uses it.
    connection.setForcedWrites(false);
    connection.createDatabase();
    try {
        runSqlScript(connection, platform::toWin1251(QString::fromUtf8(SchemaSql)));
        connection.close();
        connection.setForcedWrites(true);
        connection.connect();
        connection.close();
    } catch (const DbError&) {
        connection.close();
        QFile::remove(path);
        throw;
    }
}

} // namespace data
