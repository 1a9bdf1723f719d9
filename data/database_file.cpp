#include "data/database_file.h"

#include <QFile>
#include <QFileInfo>

#include "data/connection.h"
#include "data/dataset.h"
#include "data/schema_sql.h"
#include "data/schema_upgrade.h"
#include "data/sql_script.h"
#include "platform/html_entities.h"
#include "platform/win1251.h"

namespace data {

const char* schemaScript()
{
    return SchemaSql;
}

namespace {

// Runs the schema script on the database just created, then detaches and switches forced writes on,
// before anyone else uses it. The schema itself is written without waiting for the disk at every
// commit: a database that cannot be finished is removed anyway.
void writeSchema(Connection& connection)
{
    try {
        runSqlScript(connection, platform::toWin1251(QString::fromUtf8(SchemaSql)));
        recordCurrentSchemaVersion(connection);
        fillHtmlEntities(connection);
        connection.close();
        connection.setForcedWrites(true);
        connection.connect();
        connection.close();
    } catch (const DbError&) {
        connection.close();
        throw;
    }
}

} // namespace

void createDatabase(Connection& connection)
{
    connection.setForcedWrites(false);
    connection.createDatabase();
    writeSchema(connection);
}

void createDatabaseFile(const QString& path)
{
    if (QFileInfo::exists(path))
        throw DbError("The database file " + path.toStdString() + " already exists");
    Connection connection;
    connection.setDatabaseName(path.toStdString());
    connection.setForcedWrites(false);
    connection.createDatabase();
    try {
        writeSchema(connection);
    } catch (const DbError&) {
        QFile::remove(path);
        throw;
    }
}

void fillHtmlEntities(Connection& connection)
{
    Query query(connection, connection.defaultTransaction());
    query.setText("select count(*) from HTML_ENTITIES");
    query.open();
    const bool filled = query.field(0).asInt64() > 0;
    query.close();
    if (filled)
        return;
    // One statement for all rows; the names are letters and digits only.
    QByteArray block = "EXECUTE BLOCK AS BEGIN\n";
    const QHash<QString, char32_t>& names = platform::htmlNamedCharacters();
    for (auto named = names.constBegin(); named != names.constEnd(); ++named)
        block += "INSERT INTO HTML_ENTITIES (NAME, CODE_POINT) VALUES ('" + named.key().toLatin1() + "', " +
                 QByteArray::number(named.value()) + ");\n";
    runSqlStatements(connection, {block + "END"});
}

void refreshIndexStatistics(Connection& connection)
{
    Transaction& transaction = connection.defaultTransaction();
    Query query(connection, transaction);
    query.setText("select trim(RDB$INDEX_NAME) from RDB$INDICES where coalesce(RDB$SYSTEM_FLAG, 0) = 0");
    query.open();
    std::vector<QByteArray> names;
    for (; !query.eof(); query.next())
        names.push_back(query.field(0).asText());
    for (const QByteArray& name : names) {
        query.setText("SET STATISTICS INDEX \"" + name + "\"");
        query.execute();
    }
    transaction.commit();
}

} // namespace data
