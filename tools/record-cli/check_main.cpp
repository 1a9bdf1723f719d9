// photoledger-check: the engine's validation of the statistics database and every roll-up recounted
// from SALES; says what differs.

#include <QCoreApplication>

#include <cstdio>

#include "data/database_service.h"
#include "data/dm.h"
#include "data/roll_up_check.h"
#include "tools/record-cli/tool_support.h"

namespace {

const QString Usage = QStringLiteral(
    "usage: photoledger-check [DIR]\n"
    "Has the Firebird engine validate every page and index of the database of the program directory\n"
    "DIR (it may be in use meanwhile), and recounts every roll-up (SALES_BY_MONTH, SALES_BY_PICTURE,\n"
    "SALES_BY_DAY) from SALES. Without DIR, the program's own directory.\n"
    "Exit status: 0 sound; 1 with the problems and differences listed, or an error.\n");

int check(const QStringList& arguments)
{
    if (arguments.size() > 1 || arguments.value(0).startsWith(QLatin1Char('-')))
        throw recordcli::UsageError("unexpected arguments");
    data::Tdm dm(recordcli::programDir(arguments.value(0)));
    dm.DataModuleCreate();
    const QStringList validation = data::DatabaseService(dm.IBDatabase1).validate();
    dm.Transaction.commitIfActive();
    const QStringList rollUps = data::rollUpDifferences(dm.IBDatabase1);
    dm.IBDatabase1.close();
    for (const QString& problem : validation)
        std::printf("validation: %s\n", problem.toUtf8().constData());
    for (const QString& difference : rollUps)
        std::printf("roll-up: %s\n", difference.toUtf8().constData());
    std::printf("%s: engine validation %lld problems, roll-ups %lld differences\n",
                dm.IBDatabase1.databaseName().c_str(), static_cast<long long>(validation.size()),
                static_cast<long long>(rollUps.size()));
    return validation.isEmpty() && rollUps.isEmpty() ? recordcli::Done : recordcli::Failed;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    return recordcli::runTool("photoledger-check", Usage, check);
}
