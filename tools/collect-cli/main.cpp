// photoledger-collect: the daily sales or approved batches collection from a console, for collecting
// from a scheduler. It runs the collection window's collectors with a console context.

#include <QCoreApplication>
#include <QDir>

#include <cstdio>
#include <exception>

#include "collect/collectors.h"
#include "collect/page_fetcher.h"
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

collect::RunEnd collect(const collectcli::Arguments& arguments, data::Tdm& dm)
{
    collectcli::ConsoleContext context(arguments.months, arguments.days);
    const collect::PageFetcher fetcher = collect::PageFetcher::create(dm.appDir());
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
