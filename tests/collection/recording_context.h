#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

#include "collect/collect_context.h"

namespace collection_tests {

// A CollectContext without a screen: the choice is set by the test, and everything the collectors
// show is recorded for reading back. Questions are answered with `answer`.
class RecordingContext : public collect::CollectContext
{
public:
    struct LogLine
    {
        QByteArray text;
        collect::LogColor color;
    };
    struct Message
    {
        QString caption;
        QString text;
    };

    bool askYesNo(const QString& caption, const QString& text) override
    {
        questions.append({caption, text});
        return answer;
    }
    void openUrl(const QByteArray& address) override { opened.append(address); }
    QList<QByteArray> tickedMonths() const override { return months; }
    QList<QByteArray> tickedDays() const override { return days; }
    bool stopRequested() const override { return stop; }
    void clearStopRequest() override { stop = false; }
    void clearLog() override { log.clear(); }
    void setLogColor(collect::LogColor color) override { color_ = color; }
    void appendLogLine(const QByteArray& line) override { log.append({line, color_}); }
    void scrollLogPageDown() override { ++scrolls; }
    void setProgressMaximum(int maximum) override { progressMax = maximum; }
    void setProgressPosition(int position) override { progress = position; }
    void stepProgress() override
    {
        ++steps;
        progress = std::min(progress + 1, progressMax);
    }
    int progressMaximum() const override { return progressMax; }
    void setDateLabel(const QByteArray& text) override { dateLabels.append(text); }
    void showError(const QString& text) override { errors.append({QStringLiteral(u"Ошибка"), text}); }
    void showInformation(const QString& text) override { information.append(text); }
    void processPendingMessages() override
    {
        ++messagesProcessed;
        if (onProcessMessages)
            onProcessMessages();
    }
    void refreshPictureList() override { ++refreshes; }

    // The entry lines of the log: those that are neither empty nor headings.
    QList<LogLine> entryLines() const
    {
        QList<LogLine> entries;
        for (const LogLine& line : log)
            if (!line.text.isEmpty() && !line.text.startsWith("=========================="))
                entries.append(line);
        return entries;
    }

    // The choice and the answers.
    QList<QByteArray> months;
    QList<QByteArray> days;
    bool stop = false;
    bool answer = false;
    // Runs whenever the collector lets pending messages through: the user's actions during a run.
    std::function<void()> onProcessMessages;

    // What the collector showed.
    QList<Message> questions;
    QList<QByteArray> opened;
    QList<LogLine> log;
    int scrolls = 0;
    int progressMax = 0;
    int progress = -1;
    int steps = 0;
    QList<QByteArray> dateLabels;
    QList<Message> errors;
    QList<QString> information;
    int messagesProcessed = 0;
    int refreshes = 0;

private:
    collect::LogColor color_;
};

} // namespace collection_tests
