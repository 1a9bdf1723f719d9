#pragma once

#include <QDate>
#include <QWidget>

#include <array>
#include <cstdint>
#include <optional>

#include "analytics/cohorts.h"
#include "analytics/report_table.h"
#include "analytics/reports.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;
class QSortFilterProxyModel;
class QSpinBox;
class QTabWidget;
class QTableView;

namespace data {
class Tdm;
} // namespace data

namespace analytics {

class ReportTableModel;
class ChartView;

// One tab of the analytics window: its switches, a message line, a chart for the life cycle and the
// seasons, the table (sortable by its titles, Ctrl+C copies the selected rows) and its export to CSV.
class ReportPage : public QWidget
{
    Q_OBJECT

public:
    ReportPage(data::Tdm& dm, Report report, QWidget* parent = nullptr);

    Report report() const { return report_; }
    // Reads the figures of the period and shows them; a period that cannot be counted is said on the
    // message line over an empty table.
    void load(const Period& period);
    const std::optional<Period>& loadedPeriod() const { return loaded_; }
    // Makes the next showing read the figures again.
    void forget() { loaded_.reset(); }

    QTableView* table() const { return table_; }
    ReportTableModel* model() const { return model_; }
    QLabel* message() const { return message_; }
    ChartView* chart() const { return chart_; }
    QComboBox* cbCells = nullptr;
    QSpinBox* edMinimum = nullptr;
    QCheckBox* chWithoutSingle = nullptr;
    QPushButton* btExport = nullptr;

    void copySelectedRows();
    void exportCsv();

Q_SIGNALS:
    void batchChosen(std::int64_t batchId);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildSwitches();
    void showTable(ReportTable table);
    void showCohorts();
    void showKeywords();
    void showSeasonality();
    std::vector<int> selectedRows() const;
    void tableDoubleClicked(const QModelIndex& index);

    data::Tdm& dm_;
    Report report_;
    std::optional<Period> loaded_;
    QLabel* message_;
    ChartView* chart_ = nullptr;
    QTableView* table_;
    ReportTableModel* model_;
    QSortFilterProxyModel* sorted_;
    QString exportDir_;
    // The figures as last read, shown again when a switch changes without reading them anew: the
    // generations for the cells, every keyword for the least number of pictures, the days for the
    // single licences.
    std::optional<Cohorts> cohorts_;
    std::optional<std::vector<GroupFigures>> keywords_;
    std::optional<std::vector<DaySales>> days_;
};

// The window "Аналитика": the period (from, till, "Применить") and a tab per report. It is not modal;
// the tab on screen reads its figures when the period changes or when it is first shown.
class AnalyticsWindow : public QWidget
{
    Q_OBJECT

public:
    explicit AnalyticsWindow(data::Tdm& dm, QWidget* parent = nullptr);

    // Shows the window with this period, its current tab read anew.
    void openFor(QDate from, QDate till);
    Period period() const;
    ReportPage* page(Report report) const { return pages_[std::size_t(report)]; }

    QDateEdit* edFrom;
    QDateEdit* edTill;
    QPushButton* btApply;
    QTabWidget* tabs;

Q_SIGNALS:
    // A batch's row was double-clicked: its pictures are to be shown in the main window's grid for
    // the window's period.
    void batchChosen(std::int64_t batchId, QDate from, QDate till);

private:
    void loadCurrentPage();
    void applyPeriod();

    std::array<ReportPage*, ReportCount> pages_{};
};

} // namespace analytics
