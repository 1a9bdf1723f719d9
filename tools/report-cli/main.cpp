// photoledger-report: a table of the analytics window as CSV on standard output, read by the window's
// own queries and written in the form of the grid's CSV export.

#include <QCoreApplication>
#include <QFile>

#include "data/dm.h"
#include "platform/spreadsheet_text.h"
#include "tools/record-cli/tool_support.h"
#include "tools/report-cli/arguments.h"

namespace {

int printReport(const QStringList& given)
{
    const reportcli::Arguments arguments = reportcli::parseArguments(given, QDateTime::currentDateTime());
    data::Tdm dm(recordcli::programDir(arguments.programDir));
    dm.DataModuleCreate();
    const analytics::ReportTable table =
        analytics::readReport(dm.IBDatabase1, dm.Transaction, arguments.report, arguments.options);
    dm.IBDatabase1.close();
    QFile out;
    out.open(stdout, QIODevice::WriteOnly);
    const QByteArray text =
        platform::Utf8ByteOrderMark + analytics::tableText(table, platform::SheetForm::Csv).toUtf8();
    if (out.write(text) != text.size() || !out.flush())
        throw std::runtime_error("standard output: " + out.errorString().toStdString());
    return recordcli::Done;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    return recordcli::runTool("photoledger-report", reportcli::usage(), printReport);
}
