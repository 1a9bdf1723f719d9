#include "tools/collect-cli/console_context.h"

#include <atomic>
#include <csignal>
#include <cstdio>

#include "platform/html_entities.h"

namespace collectcli {

namespace {

std::atomic<bool> interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the flag is set from a signal handler");

extern "C" void onInterrupt(int)
{
    interrupted = true;
}

void printLine(std::FILE* stream, const QString& text)
{
    std::fputs(text.toUtf8().constData(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

} // namespace

ConsoleContext::ConsoleContext(QList<QByteArray> months, QList<QByteArray> days)
    : months_(std::move(months)), days_(std::move(days))
{
}

void ConsoleContext::stopOnInterrupt()
{
    struct sigaction action = {};
    action.sa_handler = onInterrupt;
    action.sa_flags = SA_RESETHAND | SA_RESTART;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
}

bool ConsoleContext::askYesNo(const QString& caption, const QString& text)
{
    printLine(stdout, caption + QStringLiteral(": ") + text);
    printLine(stdout, QStringLiteral(u"Ответ: нет"));
    return false;
}

// Nothing to open: the console answers every question No.
void ConsoleContext::openUrl(const QByteArray&) {}

bool ConsoleContext::stopRequested() const
{
    return interrupted;
}

void ConsoleContext::clearStopRequest()
{
    interrupted = false;
}

void ConsoleContext::appendLogLine(const QByteArray& line)
{
    printLine(stdout, platform::readableText(line));
}

void ConsoleContext::showError(const QString& text)
{
    printLine(stderr, QStringLiteral(u"Ошибка: ") + text);
}

void ConsoleContext::showInformation(const QString& text)
{
    printLine(stdout, text);
}

} // namespace collectcli
