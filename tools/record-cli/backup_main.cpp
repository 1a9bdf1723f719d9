// photoledger-backup: a backup of the statistics database made by the engine, into the folder BACKUP
// of the program directory (the latest seven kept) or into a file named on the command line; a
// database on a server is backed up by the server, which sends the backup to this computer.

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>

#include <cstdio>

#include "data/database_backup.h"
#include "data/dm.h"
#include "tools/record-cli/tool_support.h"

namespace {

const QString Usage = QStringLiteral(
    "usage: photoledger-backup [DIR] [FILE]\n"
    "Writes a backup of the database of the program directory DIR to FILE or, without FILE, to\n"
    "DIR/BACKUP/PHOTOLEDGER-yyyymmdd-hhmmss.fbk, where the latest %1 are kept. A database on a\n"
    "server is written to this computer too, named after its name there (photoledger-...).\n"
    "Without DIR, the program's own directory (a single argument that is a directory is DIR).\n"
    "Exit status: 0 done, 1 error.\n");

recordcli::ExitStatus backUp(const QStringList& arguments)
{
    if (arguments.size() > 2 || arguments.value(0).startsWith(QLatin1Char('-')))
        throw recordcli::UsageError("unexpected arguments");
    const bool dirGiven =
        arguments.size() == 2 || (arguments.size() == 1 && recordcli::isDirectory(arguments[0]));
    const QString file = arguments.size() > (dirGiven ? 1 : 0) ? arguments.last() : QString();
    data::Tdm dm(recordcli::programDir(dirGiven ? arguments[0] : QString()));
    dm.DataModuleCreate();
    const data::Connection& database = dm.IBDatabase1;
    const QString written = file.isEmpty()
                                ? data::backupIntoFolder(database, dm.appDir(), QDateTime::currentDateTime())
                                : (data::backupDatabase(database, file), file);
    dm.IBDatabase1.close();
    std::printf("%s\n", QFileInfo(written).absoluteFilePath().toUtf8().constData());
    return recordcli::Done;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    return recordcli::runTool("photoledger-backup", Usage.arg(data::KeptBackups), backUp);
}
