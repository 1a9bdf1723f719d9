// photoledger-collect: the daily sales or approved batches collection from a console, for collecting
// from a scheduler. It runs the collection window's collectors with a console context.

#include <QCoreApplication>
#include <QDate>
#include <QDir>

#include <cstdio>
#include <exception>

#include "collect/collection_calendar.h"
#include "collect/collectors.h"
#include "collect/page_fetcher.h"
#include "data/collection_log.h"
#include "data/dm.h"
#include "data/program_directory.h"
#include "tools/collect-cli/arguments.h"
#include "tools/collect-cli/console_context.h"

namespace {

enum ExitStatus
{
    Done = 0,
    Failed = 1,
    Stopped = 2,
};

ExitStatus exitStatus(collect::RunEnd end)
{
    switch (end) {
    case collect::RunEnd::Finished:
        return Done;
    case collect::RunEnd::Cancelled:
    case collect::RunEnd::LoginPrompt:
        return Stopped;
    case collect::RunEnd::NoMonth:
        break;
    }
    return Failed;
}

void printError(const char* message)
{
    std::fprintf(stderr, "photoledger-collect: %s\n", message);
}

// The gap days of the collection log, each read from its month page; none is no run.
collect::RunEnd collectGaps(const collect::PageFetcher& fetcher, data::Tdm& dm)
{
    const QList<QDate> gaps =
        collect::CollectionCalendar(data::readCollectionRecord(dm.IBDatabase1), QDate::currentDate()).gaps();
    if (gaps.isEmpty()) {
        std::puts("Пробелов нет");
        return collect::RunEnd::Finished;
    }
    collectcli::ConsoleContext context(collect::monthsOf(gaps), {});
    return collect::collectDays(context, fetcher, dm, collect::isoDays(gaps));
}

collect::RunEnd collect(const collectcli::Arguments& arguments, data::Tdm& dm)
{
    const collect::PageFetcher fetcher = collect::PageFetcher::create(dm.appDir());
    if (arguments.run == collectcli::Run::Gaps)
        return collectGaps(fetcher, dm);
    collectcli::ConsoleContext context(arguments.months, arguments.days);
    return arguments.run == collectcli::Run::Sales ? collect::collectSales(context, fetcher, dm)
                                                   : collect::collectBatches(context, fetcher, dm);
}

// Collects into the program directory. Closing the connection commits what the run stored last,
// also after an error.
ExitStatus collectInto(const collectcli::Arguments& arguments)
{
    const QString dir = arguments.programDir.isEmpty()
                            ? data::programDirectory(QCoreApplication::applicationDirPath())
                            : QDir(arguments.programDir).absolutePath();
    data::Tdm dm(dir);
    dm.DataModuleCreate();
    ExitStatus status = Failed;
    try {
        status = exitStatus(collect(arguments, dm));
    } catch (const std::exception& error) {
        printError(error.what());
    }
    dm.IBDatabase1.close();
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    collectcli::Arguments arguments;
    try {
        arguments = collectcli::parseArguments(QCoreApplication::arguments().mid(1));
    } catch (const collectcli::UsageError& error) {
        printError(error.what());
        std::fputs(collectcli::usage().toUtf8().constData(), stderr);
        return Failed;
    }
    collectcli::ConsoleContext::stopOnInterrupt();
    try {
        return collectInto(arguments);
    } catch (const std::exception& error) {
        printError(error.what());
        return Failed;
    }
}
