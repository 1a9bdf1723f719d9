#include "tools/collect-cli/console_context.h"

#include <cstdio>

#include "platform/html_entities.h"
#include "platform/termination_signals.h"

namespace collectcli {

namespace {

void printLine(std::FILE* stream, const QString& text)
{
    std::fputs(text.toUtf8().constData(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

} // namespace

ConsoleContext::ConsoleContext(QList<QByteArray> months, QList<QByteArray> days,
                               const platform::TerminationRequest& termination)
    : months_(std::move(months)), days_(std::move(days)), termination_(termination)
{
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
    return termination_.received();
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
