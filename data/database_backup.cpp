#include "data/database_backup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <fcntl.h>
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

// Checks the restored file; refuses it, naming the backup, when it is not a whole, sound database of
// this program. Forced writes are switched on for it.
void inspectRestored(const QString& path, const QString& backupFile)
{
    Connection connection;
    connection.setDatabaseName(path.toStdString());
    connection.setForcedWrites(true);
    connection.connect();
    if (!completelyRestored(connection))
        refuse(QStringLiteral("Резервная копия %1 обрывается раньше конца (файл неполон)").arg(backupFile));
    if (!holdsStatistics(connection))
        refuse(QStringLiteral("%1 — резервная копия другой базы данных, не базы статистики").arg(backupFile));
    connection.close();
    const QStringList problems = DatabaseService(path.toStdString()).validate();
    if (!problems.isEmpty())
        refuse(QStringLiteral("База, восстановленная из %1, не прошла проверку:\n%2")
                   .arg(backupFile, problems.join(QLatin1Char('\n'))));
}

void restoreInto(const QString& path, const QString& backupFile)
{
    try {
        QuietTerminal quiet;
        DatabaseService(path.toStdString()).restore(QFileInfo(backupFile).absoluteFilePath().toStdString());
    } catch (const DbError& error) {
        refuse(QStringLiteral("%1 не является целой резервной копией базы: %2")
                   .arg(backupFile, fromEngine(error)));
    }
}

// The other attachments to the database in place, across processes; none when it cannot be opened
// at all (a damaged database is what a restore replaces).
qint64 otherAttachments(const QString& databasePath)
{
    Connection connection;
    connection.setDatabaseName(databasePath.toStdString());
    try {
        connection.connect();
    } catch (const DbError&) {
        return 0;
    }
    return singleValue(connection, "select count(*) from MON$ATTACHMENTS"
                                   " where MON$ATTACHMENT_ID <> current_connection and MON$SYSTEM_FLAG = 0");
}

void putInPlace(const QString& restored, const QString& databasePath)
{
    const QString old = databasePath + QStringLiteral(".old");
    if (QFileInfo::exists(databasePath)) {
        if (const qint64 others = otherAttachments(databasePath); others > 0)
            refuse(
                QStringLiteral("База %1 открыта другой программой (подключений: %2); закройте её и повторите")
                    .arg(databasePath)
                    .arg(others));
        if (std::rename(QFile::encodeName(databasePath).constData(), QFile::encodeName(old).constData()) != 0)
            refuse(QStringLiteral("Не удалось переименовать %1 в %2").arg(databasePath, old));
    }
    if (std::rename(QFile::encodeName(restored).constData(), QFile::encodeName(databasePath).constData()) !=
        0) {
        std::rename(QFile::encodeName(old).constData(), QFile::encodeName(databasePath).constData());
        refuse(QStringLiteral("Не удалось поставить восстановленную базу на место %1").arg(databasePath));
    }
}

} // namespace

void backupDatabase(const std::string& databaseName, const QString& file)
{
    const QString partial = file + QStringLiteral(".part");
    QFile::remove(partial);
    try {
        DatabaseService(databaseName).backup(QFileInfo(partial).absoluteFilePath().toStdString());
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

QString backupFolder(const std::string& databaseName)
{
    const QString folder =
        QFileInfo(QString::fromStdString(databaseName)).absolutePath() + QStringLiteral("/BACKUP");
    if (!QDir().mkpath(folder))
        refuse(QStringLiteral("Не удалось создать папку %1").arg(folder));
    return folder;
}

QString backupBesideDatabase(const std::string& databaseName, const QDateTime& now)
{
    const QString folder = backupFolder(databaseName);
    const QString prefix =
        QFileInfo(QString::fromStdString(databaseName)).completeBaseName() + QLatin1Char('-');
    const QString file = folder + QLatin1Char('/') + prefix +
                         now.toString(QStringLiteral("yyyyMMdd-HHmmss")) + QStringLiteral(".fbk");
    backupDatabase(databaseName, file);
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
    const QString restored = databasePath + QStringLiteral(".restored");
    QFile::remove(restored);
    try {
        restoreInto(restored, backupFile);
        inspectRestored(restored, backupFile);
        putInPlace(restored, databasePath);
    } catch (const DbError& error) {
        QFile::remove(restored);
        refuse(QStringLiteral("Восстановление из %1 не удалось: %2").arg(backupFile, fromEngine(error)));
    } catch (const BackupError&) {
        QFile::remove(restored);
        throw;
    }
}

} // namespace data
