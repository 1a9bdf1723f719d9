// photoledger-restore: puts the database restored from a backup in place of the statistics database,
// only when the restored copy is complete and sound; the previous database is kept as .old.

#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>

#include "data/database_backup.h"
#include "data/program_directory.h"
#include "tools/record-cli/tool_support.h"

namespace {

const QString Usage = QStringLiteral(
    "usage: photoledger-restore [DIR] FILE\n"
    "Restores the backup FILE into a new database, checks it, and only then puts it in place of the\n"
    "database of the program directory DIR, which is kept as PHOTOLEDGER.GDB.old. A backup that is\n"
    "incomplete, damaged or of another database is refused and the database in place stays as it is.\n"
    "Close the program first. Without DIR, the program's own directory.\n"
    "Exit status: 0 done, 1 error.\n");

recordcli::ExitStatus restore(const QStringList& arguments)
{
    if (arguments.isEmpty() || arguments.size() > 2 || arguments[0].startsWith(QLatin1Char('-')))
        throw recordcli::UsageError("a backup file is needed");
    const QString database =
        data::databasePath(recordcli::programDir(arguments.size() == 2 ? arguments[0] : QString()));
    const bool replacing = QFileInfo::exists(database);
    data::restoreDatabase(arguments.last(), database);
    std::printf("%s restored from %s\n", database.toUtf8().constData(),
                arguments.last().toUtf8().constData());
    if (replacing)
        std::printf("the replaced database is kept as %s.old\n", database.toUtf8().constData());
    return recordcli::Done;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    return recordcli::runTool("photoledger-restore", Usage, restore);
}
