// photoledger-restore: puts the database restored from a backup in place of the statistics database,
// only when the restored copy is complete and sound; the previous database is kept as .old, or for a
// database on a server as a backup on this computer.

#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>

#include "data/connection.h"
#include "data/database_backup.h"
#include "data/database_location.h"
#include "data/program_directory.h"
#include "tools/record-cli/tool_support.h"

namespace {

const QString Usage = QStringLiteral(
    "usage: photoledger-restore [DIR] FILE\n"
    "Restores the backup FILE into a new database, checks it, and only then puts it in place of the\n"
    "database of the program directory DIR, which is kept as PHOTOLEDGER.GDB.old. A backup that is\n"
    "incomplete, damaged or of another database is refused and the database in place stays as it is.\n"
    "For a database on a server (conf.ini, section [Database]) FILE is read on this computer and the\n"
    "database replaced on the server is kept as DIR/BACKUP/before-restore-NAME-yyyymmdd-hhmmss.fbk.\n"
    "Close the program first, on every computer. Without DIR, the program's own directory.\n"
    "Exit status: 0 done, 1 error.\n");

void restoreOnServer(const QString& dir, const QString& file)
{
    data::Connection database;
    data::setToolLocation(database, dir);
    const QString kept = data::restoreOnServer(file, database, dir);
    std::printf("%s on %s restored from %s\n", database.databaseOnEngine().c_str(), database.server().c_str(),
                file.toUtf8().constData());
    if (!kept.isEmpty())
        std::printf("the replaced database is kept as the backup %s\n", kept.toUtf8().constData());
}

void restoreFile(const QString& dir, const QString& file)
{
    const QString database = data::databasePath(dir);
    const bool replacing = QFileInfo::exists(database);
    data::restoreDatabase(file, database);
    std::printf("%s restored from %s\n", database.toUtf8().constData(), file.toUtf8().constData());
    if (replacing)
        std::printf("the replaced database is kept as %s.old\n", database.toUtf8().constData());
}

recordcli::ExitStatus restore(const QStringList& arguments)
{
    if (arguments.isEmpty() || arguments.size() > 2 || arguments[0].startsWith(QLatin1Char('-')))
        throw recordcli::UsageError("a backup file is needed");
    const QString dir = recordcli::programDir(arguments.size() == 2 ? arguments[0] : QString());
    if (data::readDatabaseLocation(dir).onServer())
        restoreOnServer(dir, arguments.last());
    else
        restoreFile(dir, arguments.last());
    return recordcli::Done;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    return recordcli::runTool("photoledger-restore", Usage, restore);
}
