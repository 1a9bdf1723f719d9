#include "data/database_backup.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <unistd.h>

#include "data/connection.h"
#include "data/database_service.h"
#include "data/dataset.h"

namespace data {

namespace {

[[noreturn]] void refuse(const QString& message)
{
    throw BackupError(message.toStdString());
}

QString fromEngine(const DbError& error)
{
    return QString::fromUtf8(error.what());
}

// The engine's restore asks on the terminal for the next volume when a backup file ends early, and
// waits for an answer there. While it runs, standard input reads as empty and its words on standard
// output go nowhere; both are given back afterwards.
class QuietTerminal
{
public:
    QuietTerminal() : input_(dup(STDIN_FILENO)), output_(dup(STDOUT_FILENO))
    {
        std::fflush(stdout);
        const int nothing = open("/dev/null", O_RDWR);
        dup2(nothing, STDIN_FILENO);
        dup2(nothing, STDOUT_FILENO);
        close(nothing);
    }
    ~QuietTerminal()
    {
        std::fflush(stdout);
        dup2(input_, STDIN_FILENO);
        dup2(output_, STDOUT_FILENO);
        close(input_);
        close(output_);
    }
    QuietTerminal(const QuietTerminal&) = delete;
    QuietTerminal& operator=(const QuietTerminal&) = delete;

private:
    int input_;
    int output_;
};

qint64 singleValue(Connection& connection, const QByteArray& sql)
{
    Query query(connection, connection.defaultTransaction());
    query.setText(sql);
    query.open();
    const qint64 value = query.field(0).asInt64();
    query.close();
    return value;
}

// A restore that ran out of backup leaves its database in single-user maintenance; a complete one
// puts it online as the last step.
bool completelyRestored(Connection& connection)
{
    return singleValue(connection, "select MON$SHUTDOWN_MODE from MON$DATABASE") == 0;
}

bool holdsStatistics(Connection& connection)
{
    return singleValue(connection, "select count(*) from RDB$RELATIONS where RDB$RELATION_NAME in"
                                   " ('PICTURES', 'SALES', 'FOLDERS', 'SALES_BY_DAY')") == 4;
}

// Checks the restored database; refuses it, naming the backup, when it is not a whole, sound database
// of this program. Forced writes are switched on for it.
void inspectRestored(Connection& restored, const QString& backupFile)
{
    restored.setForcedWrites(true);
    restored.connect();
    if (!completelyRestored(restored))
        refuse(QStringLiteral("Резервная копия %1 обрывается раньше конца (файл неполон)").arg(backupFile));
    if (!holdsStatistics(restored))
        refuse(QStringLiteral("%1 — резервная копия другой базы данных, не базы статистики").arg(backupFile));
    restored.close();
    const QStringList problems = DatabaseService(restored).validate();
    if (!problems.isEmpty())
        refuse(QStringLiteral("База, восстановленная из %1, не прошла проверку:\n%2")
                   .arg(backupFile, problems.join(QLatin1Char('\n'))));
}

void restoreInto(const Connection& target, const QString& backupFile)
{
    try {
        QuietTerminal quiet;
        DatabaseService(target).restore(QFileInfo(backupFile).absoluteFilePath().toStdString());
    } catch (const DbError& error) {
        refuse(QStringLiteral("%1 не является целой резервной копией базы: %2")
                   .arg(backupFile, fromEngine(error)));
    }
}

// The other attachments to the database, across processes and computers; none when it cannot be
// opened at all (a damaged database is what a restore replaces).
qint64 otherAttachments(const Connection& database)
{
    Connection connection;
    connection.aimBeside(database, database.databaseOnEngine());
    try {
        connection.connect();
    } catch (const DbError&) {
        return 0;
    }
    return singleValue(connection, "select count(*) from MON$ATTACHMENTS"
                                   " where MON$ATTACHMENT_ID <> current_connection and MON$SYSTEM_FLAG = 0");
}

void refuseWhenOpenElsewhere(const Connection& database, const QString& name)
{
    if (const qint64 others = otherAttachments(database); others > 0)
        refuse(QStringLiteral("База %1 открыта другой программой (подключений: %2); закройте её и повторите")
                   .arg(name)
                   .arg(others));
}

void putInPlace(const QString& restored, const QString& databasePath)
{
    const QString old = databasePath + QStringLiteral(".old");
    if (QFileInfo::exists(databasePath)) {
        Connection inPlace;
        inPlace.setDatabaseName(databasePath.toStdString());
        refuseWhenOpenElsewhere(inPlace, databasePath);
        if (std::rename(QFile::encodeName(databasePath).constData(), QFile::encodeName(old).constData()) != 0)
            refuse(QStringLiteral("Не удалось переименовать %1 в %2").arg(databasePath, old));
    }
    if (std::rename(QFile::encodeName(restored).constData(), QFile::encodeName(databasePath).constData()) !=
        0) {
        std::rename(QFile::encodeName(old).constData(), QFile::encodeName(databasePath).constData());
        refuse(QStringLiteral("Не удалось поставить восстановленную базу на место %1").arg(databasePath));
    }
}

// The database's file on its server, as the server names it; none when the database cannot be opened
// (the server has no such database yet).
std::optional<std::string> fileOnServer(const Connection& database)
{
    Connection connection;
    connection.aimBeside(database, database.databaseOnEngine());
    try {
        connection.connect();
    } catch (const DbError&) {
        return std::nullopt;
    }
    Query query(connection, connection.defaultTransaction());
    query.setText("select MON$DATABASE_NAME from MON$DATABASE");
    query.open();
    return query.field(0).asText().toStdString();
}

// Removes a database on a server, when there is one.
void dropIfPresent(Connection& database)
{
    try {
        database.connect();
    } catch (const DbError&) {
        return;
    }
    database.dropDatabase();
}

// Restores the backup into a database that does not exist yet on the server and checks it; a database
// that fails is removed again.
void restoreCheckedOnServer(Connection& target, const QString& backupFile)
{
    try {
        restoreInto(target, backupFile);
        inspectRestored(target, backupFile);
    } catch (const BackupError&) {
        target.close();
        dropIfPresent(target);
        throw;
    }
}

// Restores the checked backup over the database on the server, which the engine drops first.
void replaceOnServer(const Connection& database, const QString& backupFile, const QString& kept)
{
    try {
        DatabaseService(database).restore(QFileInfo(backupFile).absoluteFilePath().toStdString(), true);
    } catch (const DbError& error) {
        refuse(QStringLiteral("Восстановление из %1 на сервер не удалось: %2. Прежняя база сохранена в %3")
                   .arg(backupFile, fromEngine(error), kept));
    }
}

QString serverName(const Connection& database)
{
    return QString::fromStdString(database.databaseOnEngine() + " на сервере " + database.server());
}

QString timeStamp()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
}

} // namespace

void backupDatabase(const Connection& database, const QString& file)
{
    const QString partial = file + QStringLiteral(".part");
    QFile::remove(partial);
    try {
        DatabaseService(database).backup(QFileInfo(partial).absoluteFilePath().toStdString());
    } catch (const DbError& error) {
        QFile::remove(partial);
        refuse(QStringLiteral("Не удалось сделать резервную копию в %1: %2").arg(file, fromEngine(error)));
    }
    QFile::remove(file);
    if (!QFile::rename(partial, file)) {
        QFile::remove(partial);
        refuse(QStringLiteral("Не удалось записать резервную копию %1").arg(file));
    }
}

QString backupFolder(const QString& programDir)
{
    const QString folder = programDir + QStringLiteral("/BACKUP");
    if (!QDir().mkpath(folder))
        refuse(QStringLiteral("Не удалось создать папку %1").arg(folder));
    return folder;
}

QString backupName(const Connection& database)
{
    return QFileInfo(QString::fromStdString(database.databaseOnEngine())).completeBaseName();
}

QString backupIntoFolder(const Connection& database, const QString& programDir, const QDateTime& now)
{
    const QString folder = backupFolder(programDir);
    const QString prefix = backupName(database) + QLatin1Char('-');
    const QString file = folder + QLatin1Char('/') + prefix +
                         now.toString(QStringLiteral("yyyyMMdd-HHmmss")) + QStringLiteral(".fbk");
    backupDatabase(database, file);
    const QStringList kept =
        QDir(folder).entryList({prefix + QStringLiteral("*.fbk")}, QDir::Files, QDir::Name);
    for (qsizetype i = 0; i + KeptBackups < kept.size(); ++i)
        QFile::remove(folder + QLatin1Char('/') + kept[i]);
    return file;
}

void restoreDatabase(const QString& backupFile, const QString& databasePath)
{
    if (!QFileInfo(backupFile).isFile())
        refuse(QStringLiteral("Файл резервной копии %1 не найден").arg(backupFile));
    const QString restoredPath = databasePath + QStringLiteral(".restored");
    QFile::remove(restoredPath);
    try {
        Connection restored;
        restored.setDatabaseName(restoredPath.toStdString());
        restoreInto(restored, backupFile);
        inspectRestored(restored, backupFile);
        putInPlace(restoredPath, databasePath);
    } catch (const DbError& error) {
        QFile::remove(restoredPath);
        refuse(QStringLiteral("Восстановление из %1 не удалось: %2").arg(backupFile, fromEngine(error)));
    } catch (const BackupError&) {
        QFile::remove(restoredPath);
        throw;
    }
}

QString restoreOnServer(const QString& backupFile, const Connection& database, const QString& programDir)
{
    if (!QFileInfo(backupFile).isFile())
        refuse(QStringLiteral("Файл резервной копии %1 не найден").arg(backupFile));
    try {
        const std::optional<std::string> inPlace = fileOnServer(database);
        Connection restored;
        restored.aimBeside(database, inPlace ? *inPlace + ".restored" : database.databaseOnEngine());
        if (inPlace)
            dropIfPresent(restored);
        restoreCheckedOnServer(restored, backupFile);
        if (!inPlace)
            return {};
        restored.dropDatabase();
        refuseWhenOpenElsewhere(database, serverName(database));
        const QString kept = backupFolder(programDir) + QStringLiteral("/before-restore-") +
                             backupName(database) + QLatin1Char('-') + timeStamp() + QStringLiteral(".fbk");
        backupDatabase(database, kept);
        replaceOnServer(database, backupFile, kept);
        return kept;
    } catch (const DbError& error) {
        refuse(QStringLiteral("Восстановление из %1 на сервер не удалось: %2")
                   .arg(backupFile, fromEngine(error)));
    }
}

} // namespace data
