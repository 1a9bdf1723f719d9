// photoledger-collect: the daily sales or approved batches collection from a console, for collecting
// from a scheduler. It runs the collection window's collectors with a console context.

#include <QCoreApplication>
#include <QDate>

#include <csignal>
#include <cstdio>
#include <exception>
#include <optional>

#include "collect/collection_calendar.h"
#include "collect/collectors.h"
#include "collect/page_fetcher.h"
#include "collect/run_notices.h"
#include "data/collection_log.h"
#include "data/dm.h"
#include "data/program_directory.h"
#include "platform/desktop_notice.h"
#include "platform/downloader.h"
#include "platform/termination_signals.h"
#include "tools/collect-cli/arguments.h"
#include "tools/collect-cli/console_context.h"
#include "tools/record-cli/tool_support.h"

namespace {

enum ExitStatus
{
    Done = 0,
    Failed = 1,
    Stopped = 2,
};

// A run ended by a termination signal exits as shells report a process that the signal ended.
int terminatedStatus(int signal)
{
    return 128 + signal;
}

int exitStatus(collect::RunEnd end, const platform::TerminationRequest& termination)
{
    switch (end) {
    case collect::RunEnd::Finished:
        return Done;
    case collect::RunEnd::Cancelled:
        return terminatedStatus(termination.signal());
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

void printTermination(int signal)
{
    printError(QStringLiteral(u"прервано сигналом %1, собранное до него сохранено")
                   .arg(signal == SIGINT ? QStringLiteral("SIGINT") : QStringLiteral("SIGTERM"))
                   .toUtf8()
                   .constData());
}

// The gap days of the collection log, each read from its month page; none is no run.
collect::RunEnd collectGaps(const collect::PageFetcher& fetcher, data::Tdm& dm,
                            const platform::TerminationRequest& termination)
{
    const QList<QDate> gaps =
        collect::CollectionCalendar(data::readCollectionRecord(dm.IBDatabase1), QDate::currentDate()).gaps();
    if (gaps.isEmpty()) {
        std::puts("Пробелов нет");
        return collect::RunEnd::Finished;
    }
    collectcli::ConsoleContext context(collect::monthsOf(gaps), {}, termination);
    return collect::collectDays(context, fetcher, dm, collect::isoDays(gaps));
}

collect::RunEnd collect(const collectcli::Arguments& arguments, data::Tdm& dm,
                        const platform::TerminationRequest& termination)
{
    const collect::PageFetcher fetcher = collect::PageFetcher::create(dm.appDir(), &termination);
    if (arguments.run == collectcli::Run::Gaps)
        return collectGaps(fetcher, dm, termination);
    collectcli::ConsoleContext context(arguments.months, arguments.days, termination);
    return arguments.run == collectcli::Run::Sales ? collect::collectSales(context, fetcher, dm)
                                                   : collect::collectBatches(context, fetcher, dm);
}

struct RunResult
{
    int status = Failed;
    QString error; // the message of the error that ended the run
};

RunResult runCollection(const collectcli::Arguments& arguments, data::Tdm& dm,
                        const platform::TerminationRequest& termination)
{
    try {
        return {exitStatus(collect(arguments, dm, termination), termination), {}};
    } catch (const platform::DownloadAborted&) {
        return {terminatedStatus(termination.signal()), {}};
    } catch (const std::exception& error) {
        printError(error.what());
        return {Failed, QString::fromUtf8(error.what())};
    }
}

collect::RunOutcome outcomeOf(int status)
{
    switch (status) {
    case Done:
        return collect::RunOutcome::Collected;
    case Failed:
        return collect::RunOutcome::Failed;
    case Stopped:
        return collect::RunOutcome::LoginExpired;
    }
    return collect::RunOutcome::Stopped;
}

// Shows the notices that conf.ini asks for on the desktop, where a notification service runs. The run's
// status stays as it is: a database that cannot be read for them is said on standard error.
void tellDesktop(const collect::NoticeChoice& choice, const RunResult& result,
                 const std::optional<collect::DayEarnings>& bestBefore, const QString& dir)
{
    try {
        const std::optional<collect::DayEarnings> bestAfter =
            choice.bestDay ? collect::bestDay(dir) : std::nullopt;
        for (const collect::Notice& notice :
             collect::runNotices(choice, outcomeOf(result.status), result.error, bestBefore, bestAfter))
            platform::showDesktopNotice(QStringLiteral("Photoledger"), notice.summary, notice.body);
    } catch (const std::exception& error) {
        printError(error.what());
    }
}

// Collects into the program directory. Closing the connection commits what the run stored last,
// also after an error or a termination signal.
int collectInto(const collectcli::Arguments& arguments, const platform::TerminationRequest& termination)
{
    const QString dir = recordcli::programDir(arguments.programDir);
    const collect::NoticeChoice choice = collect::readNoticeChoice(dir);
    const std::optional<collect::DayEarnings> bestBefore =
        choice.bestDay ? collect::bestDay(dir) : std::nullopt;
    data::Tdm dm(dir);
    dm.DataModuleCreate();
    const RunResult result = runCollection(arguments, dm, termination);
    dm.IBDatabase1.close();
    if (result.status > Stopped)
        printTermination(termination.signal());
    tellDesktop(choice, result, bestBefore, dir);
    return result.status;
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
    try {
        // Before the database engine starts, which keeps the dispositions it finds.
        const platform::TerminationRequest termination;
        return collectInto(arguments, termination);
    } catch (const std::exception& error) {
        printError(error.what());
        return Failed;
    }
}
