#include "analytics/analytics_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QSplitter>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

#include "analytics/chart_view.h"
#include "analytics/lifecycle.h"
#include "analytics/line_chart.h"
#include "analytics/report_table_model.h"
#include "analytics/seasonality.h"
#include "data/dm.h"
#include "platform/file_dialog.h"
#include "platform/handler_guard.h"
#include "platform/spreadsheet_text.h"
#include "platform/wait_cursor.h"

namespace analytics {

namespace {

// The generations' row heads take the first columns; the sale months follow.
constexpr int CohortHeatColumn = 6;

QString dayText(QDate day)
{
    return day.toString(QStringLiteral("dd.MM.yyyy"));
}

QString comparisonText(const Seasonality& seasonality)
{
    if (!seasonality.sameDaysTill.isValid())
        return QStringLiteral("В периоде нет дней с продажами.");
    QString text = QStringLiteral("С %1 по %2: %3; год назад за те же дни: %4")
                       .arg(dayText(seasonality.sameDaysFrom), dayText(seasonality.sameDaysTill),
                            platform::decimalComma(seasonality.thisYear, 2),
                            platform::decimalComma(seasonality.lastYear, 2));
    if (seasonality.lastYear > 0) {
        const double change = 100 * (seasonality.thisYear / seasonality.lastYear - 1);
        text += QStringLiteral(" (%1%2 %)")
                    .arg(change >= 0 ? QStringLiteral("+") : QString(), platform::decimalComma(change, 1));
    }
    return text;
}

QDateEdit* dateEdit(const char* name, QWidget* parent)
{
    auto* edit = new QDateEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    edit->setCalendarPopup(true);
    return edit;
}

} // namespace

ReportPage::ReportPage(data::Tdm& dm, Report report, QWidget* parent)
    : QWidget(parent), dm_(dm), report_(report), message_(new QLabel(this)), table_(new QTableView(this)),
      model_(new ReportTableModel(this)), sorted_(new QSortFilterProxyModel(this))
{
    setObjectName(QStringLiteral("page_") + reportName(report));
    message_->setObjectName(QStringLiteral("lbMessage"));
    message_->setWordWrap(true);
    sorted_->setSourceModel(model_);
    sorted_->setSortRole(ReportTableModel::SortRole);
    table_->setObjectName(QStringLiteral("tbReport"));
    table_->setModel(sorted_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    table_->setSortingEnabled(true);
    table_->installEventFilter(this);
    connect(table_, &QTableView::doubleClicked, this,
            [this](const QModelIndex& index) { platform::guarded([&] { tableDoubleClicked(index); }); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildSwitches());
    layout->addWidget(message_);
    if (report == Report::Lifecycle || report == Report::Seasonality) {
        auto* splitter = new QSplitter(Qt::Vertical, this);
        chart_ = new ChartView(splitter);
        chart_->setObjectName(QStringLiteral("imChart"));
        splitter->addWidget(chart_);
        splitter->addWidget(table_);
        splitter->setSizes({300, 200});
        layout->addWidget(splitter, 1);
    } else {
        layout->addWidget(table_, 1);
    }
}

QWidget* ReportPage::buildSwitches()
{
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    if (report_ == Report::Cohorts) {
        cbCells = new QComboBox(row);
        cbCells->setObjectName(QStringLiteral("cbCells"));
        cbCells->addItems({QStringLiteral("заработок"), QStringLiteral("продажи"),
                           QStringLiteral("заработок на изображение")});
        layout->addWidget(new QLabel(QStringLiteral("В ячейках:"), row));
        layout->addWidget(cbCells);
        platform::connectGuarded(cbCells, &QComboBox::currentIndexChanged, this, &ReportPage::showCohorts);
    } else if (report_ == Report::Keywords) {
        edMinimum = new QSpinBox(row);
        edMinimum->setObjectName(QStringLiteral("edMinimum"));
        edMinimum->setRange(1, 1'000'000);
        edMinimum->setValue(DefaultMinimumPictures);
        layout->addWidget(new QLabel(QStringLiteral("Не меньше изображений:"), row));
        layout->addWidget(edMinimum);
        platform::connectGuarded(edMinimum, &QSpinBox::editingFinished, this, &ReportPage::showKeywords);
    } else if (report_ == Report::Seasonality) {
        chWithoutSingle = new QCheckBox(QStringLiteral("Без продаж по запросу и расширенных"), row);
        chWithoutSingle->setObjectName(QStringLiteral("chWithoutSingle"));
        layout->addWidget(chWithoutSingle);
        platform::connectGuarded(chWithoutSingle, &QCheckBox::toggled, this, &ReportPage::showSeasonality);
    } else if (report_ == Report::Batches) {
        layout->addWidget(
            new QLabel(QStringLiteral("Двойной щелчок показывает изображения партии в списке."), row));
    }
    layout->addStretch(1);
    btExport = new QPushButton(QStringLiteral("Экспорт в CSV…"), row);
    btExport->setObjectName(QStringLiteral("btExport"));
    layout->addWidget(btExport);
    platform::connectGuarded(btExport, &QPushButton::clicked, this, &ReportPage::exportCsv);
    return row;
}

void ReportPage::load(const Period& period)
{
    loaded_ = period;
    cohorts_.reset();
    keywords_.reset();
    days_.reset();
    try {
        checkPeriod(period);
    } catch (const PeriodError& error) {
        message_->setText(QString::fromUtf8(error.what()));
        message_->show();
        showTable({});
        if (chart_)
            chart_->showChart({});
        return;
    }
    const platform::WaitCursor waitCursor;
    data::Connection& connection = dm_.IBDatabase1;
    data::Transaction& transaction = dm_.Transaction;
    message_->hide();
    switch (report_) {
    case Report::Cohorts:
        cohorts_ = readCohorts(connection, transaction, period);
        showCohorts();
        return;
    case Report::Lifecycle: {
        const std::vector<LifecycleYear> years = readLifecycle(connection, transaction, period);
        chart_->showChart(lifecycleChart(years));
        showTable(lifecycleTable(years));
        return;
    }
    case Report::Seasonality:
        days_ = readDaySales(connection, transaction);
        showSeasonality();
        return;
    case Report::Keywords:
        keywords_ = readKeywordFigures(connection, transaction, period, 1);
        showKeywords();
        return;
    case Report::Batches:
    case Report::Folders:
        break;
    }
    showTable(readReport(connection, transaction, report_, ReportOptions{period}));
}

void ReportPage::showCohorts()
{
    if (!cohorts_)
        return;
    showTable(cohortTable(*cohorts_, CohortValue(cbCells->currentIndex())));
}

// The keywords' order and indexes do not depend on the least number of pictures, so those below it are
// only left out.
void ReportPage::showKeywords()
{
    if (!keywords_)
        return;
    std::vector<GroupFigures> shown;
    for (const GroupFigures& keyword : *keywords_)
        if (keyword.pictures >= edMinimum->value())
            shown.push_back(keyword);
    showTable(groupTable(shown, GroupKind::Keyword));
}

void ReportPage::showSeasonality()
{
    if (!days_)
        return;
    const Seasonality figures = seasonality(*days_, *loaded_, chWithoutSingle->isChecked());
    chart_->showChart(seasonalityChart(figures));
    message_->setText(comparisonText(figures));
    message_->show();
    showTable(seasonalityTable(figures));
}

void ReportPage::showTable(ReportTable table)
{
    const bool heat = report_ == Report::Cohorts;
    model_->setTable(std::move(table), heat ? CohortHeatColumn : -1);
    table_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    sorted_->sort(-1);
    // Wide titles are cut to keep the figures in view; the title's tip shows it whole.
    table_->resizeColumnsToContents();
    for (int column = 0; column < model_->columnCount(); ++column)
        table_->setColumnWidth(column, std::min(table_->columnWidth(column), column == 0 ? 260 : 120));
}

std::vector<int> ReportPage::selectedRows() const
{
    std::vector<int> rows;
    for (int row = 0; row < sorted_->rowCount(); ++row)
        if (table_->selectionModel()->isRowSelected(row, {}))
            rows.push_back(sorted_->mapToSource(sorted_->index(row, 0)).row());
    if (rows.empty() && table_->currentIndex().isValid())
        rows.push_back(sorted_->mapToSource(table_->currentIndex()).row());
    return rows;
}

// The selected rows in the order shown, column titles first, as a spreadsheet takes them on paste.
void ReportPage::copySelectedRows()
{
    const std::vector<int> rows = selectedRows();
    if (!rows.empty())
        QApplication::clipboard()->setText(tableText(model_->table(), platform::SheetForm::Clipboard, rows));
}

void ReportPage::exportCsv()
{
    if (!loaded_ || model_->rowCount() == 0)
        return;
    if (exportDir_.isEmpty())
        exportDir_ = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString name = QStringLiteral("photoledger-%1-%2-%3.csv")
                             .arg(reportName(report_), dayText(loaded_->from), dayText(loaded_->till));
    const QString path =
        platform::askSaveFileName(this, {QStringLiteral("Экспорт в CSV"), QDir(exportDir_).filePath(name),
                                         QStringLiteral("CSV (*.csv)")});
    if (path.isEmpty())
        return;
    exportDir_ = QFileInfo(path).absolutePath();
    const QByteArray text =
        platform::Utf8ByteOrderMark + tableText(model_->table(), platform::SheetForm::Csv).toUtf8();
    platform::saveWholeFile(path, [&](QIODevice& file) { return file.write(text) == text.size(); });
}

void ReportPage::tableDoubleClicked(const QModelIndex& index)
{
    const int row = sorted_->mapToSource(index).row();
    const auto& batches = model_->table().rowBatches;
    if (row >= 0 && std::size_t(row) < batches.size() && batches[std::size_t(row)])
        Q_EMIT batchChosen(*batches[std::size_t(row)]);
}

bool ReportPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == table_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
        platform::guarded([this] { copySelectedRows(); });
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

AnalyticsWindow::AnalyticsWindow(data::Tdm& dm, QWidget* parent)
    : QWidget(parent, Qt::Window), edFrom(dateEdit("edFrom", this)), edTill(dateEdit("edTill", this)),
      btApply(new QPushButton(QStringLiteral("Применить"), this)), tabs(new QTabWidget(this))
{
    setObjectName(QStringLiteral("fmAnalytics"));
    setWindowTitle(QStringLiteral("Аналитика"));
    resize(1000, 640);
    btApply->setObjectName(QStringLiteral("btApply"));
    tabs->setObjectName(QStringLiteral("pcReports"));
    auto* periodRow = new QHBoxLayout;
    periodRow->addWidget(new QLabel(QStringLiteral("Период с"), this));
    periodRow->addWidget(edFrom);
    periodRow->addWidget(new QLabel(QStringLiteral("по"), this));
    periodRow->addWidget(edTill);
    periodRow->addWidget(btApply);
    periodRow->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(periodRow);
    layout->addWidget(tabs, 1);
    for (int i = 0; i < ReportCount; ++i) {
        const Report report = Report(i);
        pages_[std::size_t(i)] = new ReportPage(dm, report, tabs);
        tabs->addTab(pages_[std::size_t(i)], reportTitle(report));
        connect(pages_[std::size_t(i)], &ReportPage::batchChosen, this, [this](std::int64_t batchId) {
            Q_EMIT batchChosen(batchId, edFrom->date(), edTill->date());
        });
    }
    platform::connectGuarded(btApply, &QPushButton::clicked, this, &AnalyticsWindow::applyPeriod);
    platform::connectGuarded(tabs, &QTabWidget::currentChanged, this, &AnalyticsWindow::loadCurrentPage);
}

Period AnalyticsWindow::period() const
{
    return {edFrom->date(), edTill->date()};
}

void AnalyticsWindow::openFor(QDate from, QDate till)
{
    edFrom->setDate(from);
    edTill->setDate(till);
    for (ReportPage* page : pages_)
        page->forget();
    show();
    raise();
    activateWindow();
    loadCurrentPage();
    static_cast<ReportPage*>(tabs->currentWidget())->table()->setFocus();
}

// The tab on screen reads its figures unless it shows this period already.
void AnalyticsWindow::loadCurrentPage()
{
    auto* page = static_cast<ReportPage*>(tabs->currentWidget());
    if (page->loadedPeriod() != period())
        page->load(period());
}

// "Применить" reads the tab's figures anew, the same period too.
void AnalyticsWindow::applyPeriod()
{
    static_cast<ReportPage*>(tabs->currentWidget())->load(period());
}

} // namespace analytics
