#pragma once

#include <QDialog>

#include <functional>

#include "collect/collect_context.h"
#include "collect/collectors.h"

class QLabel;
class QListWidget;
class QModelIndex;
class QProgressBar;
class QPushButton;
class QTextEdit;
class QTimer;

namespace collect {

class PageFetcher;

// The collection window "Сбор статистики": the month and day lists, the two start buttons, the
// cancel button, the coloured log, the progress bar and the date label. It runs both collections
// with itself as their context.
//
// One run at a time: while a run is active both start buttons are disabled and a start that still
// arrives is ignored. A request to close the window during a run is kept and carried out once the run
// has ended, however it ends; it does not cancel the run ("Отменить" does). The opening login check,
// when its timer fires during a run, likewise waits for the run's end, since both use the scratch
// file.
class TfmExplorer : public QDialog, public CollectContext
{
    Q_OBJECT

public:
    explicit TfmExplorer(QWidget* parent = nullptr);
    ~TfmExplorer() override;

    // Called as the window is shown: starts Timer1, clears StopRequested, fills both lists.
    void FormShow();
    // The opening login check, once per showing, 500 ms after the window is shown.
    void Timer1Timer();
    // The user toggled a tick box directly (mouse on the box, or the space key).
    void chListMonthClickCheck();
    void chListDayClickCheck();
    // The user clicked a row: it is toggled unless a direct toggle came just before.
    void chListMonthClick(const QModelIndex& index);
    void chListDayClick(const QModelIndex& index);
    // "очистить": unticks every month.
    void Label1Click();
    void btUpdateSalesClick();
    void btUpdateBatchesClick();
    void btStopClick();

    bool running() const { return running_; }

    // Ticks these months (yyyy-mm) and days (dd) at the next showing, after the lists are filled.
    void tickOnNextShow(QList<QByteArray> months, QList<QByteArray> days);

    // Rebuilds the main window's picture list for its current folder; set by the program.
    std::function<void()> refreshMainList;

    bool StopRequested = false;

    QListWidget* chListMonth = nullptr;
    QListWidget* chListDay = nullptr;
    QLabel* Label1 = nullptr;
    QTextEdit* RichEdit1 = nullptr;
    QPushButton* btUpdateSales = nullptr;
    QPushButton* btUpdateBatches = nullptr;
    QLabel* lbDate = nullptr;
    QProgressBar* ProgressBar2 = nullptr;
    QPushButton* btStop = nullptr;
    QTimer* Timer1 = nullptr;

    // CollectContext
    bool askYesNo(const QString& caption, const QString& text) override;
    void openUrl(const QByteArray& address) override;
    QList<QByteArray> tickedMonths() const override;
    QList<QByteArray> tickedDays() const override;
    bool stopRequested() const override { return StopRequested; }
    void clearStopRequest() override { StopRequested = false; }
    void clearLog() override;
    void setLogColor(LogColor color) override;
    void appendLogLine(const QByteArray& line) override;
    void scrollLogPageDown() override;
    void setProgressMaximum(int maximum) override;
    void setProgressPosition(int position) override;
    void stepProgress() override;
    int progressMaximum() const override;
    void setDateLabel(const QByteArray& text) override;
    void showError(const QString& text) override;
    void showInformation(const QString& text) override;
    void processPendingMessages() override;
    void refreshPictureList() override;

public Q_SLOTS:
    // A close during a run waits for its end.
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using Collector = RunEnd (*)(CollectContext&, const PageFetcher&, data::Tdm&);
    class RunScope;

    QWidget* buildLists();
    QWidget* buildBottomPanel();
    void connectHandlers();
    void runCollection(Collector collector);
    // What was held back during a run: a close request, the opening login check.
    void afterRun();

    bool monthClickChecked_ = false;
    bool dayClickChecked_ = false;
    bool running_ = false;
    bool closeRequested_ = false;
    bool loginCheckPending_ = false;
    int logLines_ = 0;
    QList<QByteArray> monthsToTick_;
    QList<QByteArray> daysToTick_;
    LogColor logColor_ = LogGreen;
};

} // namespace collect
