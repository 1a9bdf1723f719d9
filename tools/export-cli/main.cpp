// photoledger-export: the picture list as CSV on standard output, built by the main window's statement
// builder and written by its CSV writer, for spreadsheets and scripts; or the whole record as a ledger.

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>

#include <cstdio>
#include <numeric>

#include "browser/picture_list_export.h"
#include "data/dm.h"
#include "data/ledger.h"
#include "tools/export-cli/arguments.h"
#include "tools/record-cli/tool_support.h"

namespace {

using recordcli::Done;
using recordcli::ExitStatus;
using recordcli::Failed;

void printError(const QString& message)
{
    std::fprintf(stderr, "photoledger-export: %s\n", message.toUtf8().constData());
}

// The grid's columns in their first order.
std::vector<int> defaultColumnOrder()
{
    std::vector<int> order(browser::PictureColumnCount);
    std::iota(order.begin(), order.end(), 0);
    return order;
}

// Writes the ledger whole under another name first; it takes its own name only when complete.
ExitStatus writeLedger(data::Tdm& dm, const QString& file)
{
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) || !data::exportLedger(dm.IBDatabase1, out) || !out.commit()) {
        printError(file + QStringLiteral(": ") + out.errorString());
        return Failed;
    }
    dm.IBDatabase1.close();
    return Done;
}

ExitStatus printList(data::Tdm& dm, const exportcli::Arguments& arguments)
{
    QFile out;
    out.open(stdout, QIODevice::WriteOnly);
    const bool written =
        browser::writeCsv(dm.IBDatabase1, dm.Transaction, browser::pictureListStatement(arguments.filter),
                          browser::exportedColumns(defaultColumnOrder()), out)
            .has_value();
    if (!written || !out.flush()) {
        printError(QStringLiteral("standard output: ") + out.errorString());
        return Failed;
    }
    dm.IBDatabase1.close();
    return Done;
}

int exportFrom(const QStringList& given)
{
    const exportcli::Arguments arguments = exportcli::parseArguments(given, QDateTime::currentDateTime());
    data::Tdm dm(recordcli::programDir(arguments.programDir));
    dm.DataModuleCreate();
    return arguments.ledgerFile.isEmpty() ? printList(dm, arguments) : writeLedger(dm, arguments.ledgerFile);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    return recordcli::runTool("photoledger-export", exportcli::usage(), exportFrom);
}
