#pragma once

#include <QByteArray>
#include <QList>

#include "collect/collect_context.h"

namespace platform {
class TerminationRequest;
} // namespace platform

namespace collectcli {

// The collectors' context on a console: log lines and messages go to standard output (errors to
// standard error) as UTF-8, a login prompt is printed and answered No, and the stop flag is a
// termination signal received, which stays set (not owned).
class ConsoleContext : public collect::CollectContext
{
public:
    ConsoleContext(QList<QByteArray> months, QList<QByteArray> days,
                   const platform::TerminationRequest& termination);

    bool askYesNo(const QString& caption, const QString& text) override;
    void openUrl(const QByteArray& address) override;
    QList<QByteArray> tickedMonths() const override { return months_; }
    QList<QByteArray> tickedDays() const override { return days_; }
    bool stopRequested() const override;
    // A termination signal is never taken back, also one that came before the run started.
    void clearStopRequest() override {}
    void clearLog() override {}
    void setLogColor(collect::LogColor) override {}
    void appendLogLine(const QByteArray& line) override;
    void scrollLogPageDown() override {}
    void setProgressMaximum(int maximum) override { progressMaximum_ = maximum; }
    void setProgressPosition(int) override {}
    void stepProgress() override {}
    int progressMaximum() const override { return progressMaximum_; }
    void setDateLabel(const QByteArray&) override {}
    void showError(const QString& text) override;
    void showInformation(const QString& text) override;
    void processPendingMessages() override {}
    void refreshPictureList() override {}

private:
    QList<QByteArray> months_;
    QList<QByteArray> days_;
    const platform::TerminationRequest& termination_;
    int progressMaximum_ = 0;
};

} // namespace collectcli
