// photoledger-import: merges a ledger written by photoledger-export --ledger into the statistics
// database, in one transaction; rows already there are left as they are.

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

#include "data/dm.h"
#include "data/ledger.h"
#include "tools/record-cli/tool_support.h"

namespace {

const QString Usage = QStringLiteral(
    "usage: photoledger-import [DIR] FILE\n"
    "Merges the ledger FILE (written by photoledger-export --ledger) into the database of the program\n"
    "directory DIR, in one transaction: rows that are not there are added, rows there with the same\n"
    "values are skipped, rows there with other values are listed as conflicts and left as they are.\n"
    "Importing the same file again changes nothing. Without DIR, the program's own directory.\n"
    "Exit status: 0 merged; 2 merged, with conflicting rows listed and left as they were; 1 error,\n"
    "nothing changed.\n");

enum {
    MergedWithConflicts = 2,
};

void printCounts(const char* table, const data::LedgerTableCounts& counts)
{
    std::printf("%-9s %lld added, %lld already there, %lld conflicting\n", table,
                static_cast<long long>(counts.added), static_cast<long long>(counts.equal),
                static_cast<long long>(counts.conflicting));
}

int import(const QStringList& arguments)
{
    if (arguments.isEmpty() || arguments.size() > 2 || arguments[0].startsWith(QLatin1Char('-')))
        throw recordcli::UsageError("a ledger file is needed");
    QFile file(arguments.last());
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error(
            QString(file.fileName() + QStringLiteral(": ") + file.errorString()).toStdString());
    const QByteArray ledger = file.readAll();
    data::Tdm dm(recordcli::programDir(arguments.size() == 2 ? arguments[0] : QString()));
    dm.DataModuleCreate();
    const data::LedgerImport result = data::importLedger(dm.IBDatabase1, ledger);
    dm.IBDatabase1.close();
    for (const QString& conflict : result.conflicts)
        std::printf("conflict: %s\n", conflict.toUtf8().constData());
    printCounts("folders", result.folders);
    printCounts("pictures", result.pictures);
    printCounts("sales", result.sales);
    return result.conflicts.isEmpty() ? int(recordcli::Done) : MergedWithConflicts;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    return recordcli::runTool("photoledger-import", Usage, import);
}
