#include "collect/explorer_window.h"

#include <QApplication>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include "collect/agency_site.h"
#include "collect/choice_lists.h"
#include "collect/login.h"
#include "collect/page_fetcher.h"
#include "collect/page_lines.h"
#include "data/dm.h"
#include "platform/desktop.h"
#include "platform/handler_guard.h"
#include "platform/html_entities.h"
#include "platform/message_box.h"
#include "platform/win1251.h"
#include "platform/window_font.h"

namespace collect {

namespace {

const QSize DesignSize(717, 494);
constexpr int MonthListWidth = 105;
constexpr int DayListWidth = 47;
constexpr int ClearStripHeight = 16;
constexpr int ClearIndent = 2; // keeps the first letter of "очистить" off the window's edge
constexpr int BottomPanelHeight = 41;
constexpr int DateLabelWidth = 65;
constexpr int LoginCheckDelayMs = 500;

QListWidget* checkList(const QString& name, int width)
{
    auto* list = new QListWidget;
    list->setObjectName(name);
    list->setFixedWidth(width);
    return list;
}

QPushButton* button(const QString& name, const QString& text)
{
    auto* pushButton = new QPushButton(text);
    pushButton->setObjectName(name);
    return pushButton;
}

// Rows equal to the separator are disabled, so that they can be neither ticked nor toggled.
void fillCheckList(QListWidget* list, const QStringList& rows)
{
    const QSignalBlocker blocker(list);
    list->clear();
    for (const QString& row : rows) {
        auto* item = new QListWidgetItem(row);
        item->setCheckState(Qt::Unchecked);
        const Qt::ItemFlags enabled = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        item->setFlags(Qt::ItemIsUserCheckable | (row == MonthSeparator ? Qt::ItemFlags() : enabled));
        list->addItem(item);
    }
}

QList<QByteArray> tickedRows(const QListWidget* list)
{
    QList<QByteArray> rows;
    for (int row = 0; row < list->count(); ++row)
        if (list->item(row)->checkState() == Qt::Checked)
            rows.append(list->item(row)->text().toLatin1());
    return rows;
}

void setTick(QListWidget* list, QListWidgetItem* item, Qt::CheckState state)
{
    const QSignalBlocker blocker(list);
    item->setCheckState(state);
}

void tickRows(QListWidget* list, const QList<QByteArray>& rows)
{
    for (int row = 0; row < list->count(); ++row) {
        if (rows.contains(list->item(row)->text().toLatin1()))
            setTick(list, list->item(row), Qt::Checked);
    }
}

// A row click toggles the row unless the click toggled its box already (the flag), and never a
// disabled row. The flag is cleared in either case.
void toggleClickedRow(QListWidget* list, bool& clickChecked, const QModelIndex& index)
{
    QListWidgetItem* item = list->item(index.row());
    if (std::exchange(clickChecked, false) || !item || !(item->flags() & Qt::ItemIsEnabled))
        return;
    setTick(list, item, item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}

} // namespace

// Marks a run as active for its whole length and disables the start buttons; at its end, however
// it ends, restores them and carries out what was held back, once the run's own messages are done.
class TfmExplorer::RunScope
{
public:
    explicit RunScope(TfmExplorer& window) : window_(window), salesEnabled_(window.btUpdateSales->isEnabled())
    {
        window_.running_ = true;
        window_.btUpdateSales->setEnabled(false);
        window_.btUpdateBatches->setEnabled(false);
    }
    ~RunScope()
    {
        window_.running_ = false;
        window_.btUpdateSales->setEnabled(salesEnabled_);
        window_.btUpdateBatches->setEnabled(true);
        QMetaObject::invokeMethod(&window_, [window = &window_] { window->afterRun(); }, Qt::QueuedConnection);
    }
    RunScope(const RunScope&) = delete;
    RunScope& operator=(const RunScope&) = delete;

private:
    TfmExplorer& window_;
    bool salesEnabled_;
};

TfmExplorer::TfmExplorer(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("fmExplorer"));
    setWindowTitle(QStringLiteral(u"Сбор статистики"));
    setModal(true);
    setFont(platform::windowFont());
    resize(DesignSize);

    RichEdit1 = new QTextEdit;
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    RichEdit1->setReadOnly(true);
    RichEdit1->setLineWrapMode(QTextEdit::NoWrap);
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    auto* top = new QHBoxLayout;
    top->setContentsMargins(0, 0, 0, 0);
    top->setSpacing(0);
    top->addWidget(buildLists());
    top->addWidget(RichEdit1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(top, 1);
    layout->addWidget(buildBottomPanel());

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(LoginCheckDelayMs);
    Timer1->setSingleShot(true);
    connectHandlers();
}

TfmExplorer::~TfmExplorer() = default;

QWidget* TfmExplorer::buildLists()
{
    chListMonth = checkList(QStringLiteral("chListMonth"), MonthListWidth);
    chListDay = checkList(QStringLiteral("chListDay"), DayListWidth);
    Label1 = new QLabel(QStringLiteral(u"очистить"));
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFixedHeight(ClearStripHeight);
    Label1->setIndent(ClearIndent);
    Label1->setCursor(Qt::PointingHandCursor);
    QPalette grey = Label1->palette();
    grey.setColor(QPalette::WindowText, Qt::gray);
    Label1->setPalette(grey);

    auto* lists = new QHBoxLayout;
    lists->setContentsMargins(0, 0, 0, 0);
    lists->setSpacing(0);
    lists->addWidget(chListMonth);
    lists->addWidget(chListDay);

    auto* column = new QWidget;
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(lists, 1);
    layout->addWidget(Label1);
    return column;
}

QWidget* TfmExplorer::buildBottomPanel()
{
    btUpdateSales = button(QStringLiteral("btUpdateSales"), QStringLiteral(u"Продажи"));
    btUpdateSales->setEnabled(false);
    btUpdateBatches = button(QStringLiteral("btUpdateBatches"), QStringLiteral(u"Приемка"));
    btStop = button(QStringLiteral("btStop"), QStringLiteral(u"Отменить"));
    lbDate = new QLabel(QStringLiteral(u"Дата"));
    lbDate->setObjectName(QStringLiteral("lbDate"));
    lbDate->setFixedWidth(DateLabelWidth);
    ProgressBar2 = new QProgressBar;
    ProgressBar2->setObjectName(QStringLiteral("ProgressBar2"));
    ProgressBar2->setTextVisible(false);

    auto* panel = new QWidget;
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFixedHeight(BottomPanelHeight);
    auto* layout = new QHBoxLayout(panel);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(btUpdateSales);
    layout->addWidget(btUpdateBatches);
    layout->addWidget(lbDate);
    layout->addWidget(ProgressBar2, 1);
    layout->addWidget(btStop);
    return panel;
}

void TfmExplorer::connectHandlers()
{
    platform::connectGuarded(Timer1, &QTimer::timeout, this, &TfmExplorer::Timer1Timer);
    platform::connectGuarded(chListMonth, &QListWidget::itemChanged, this, &TfmExplorer::chListMonthClickCheck);
    platform::connectGuarded(chListDay, &QListWidget::itemChanged, this, &TfmExplorer::chListDayClickCheck);
    platform::connectGuarded(chListMonth, &QListWidget::clicked, this, &TfmExplorer::chListMonthClick);
    platform::connectGuarded(chListDay, &QListWidget::clicked, this, &TfmExplorer::chListDayClick);
    platform::connectGuarded(btUpdateSales, &QPushButton::clicked, this, &TfmExplorer::btUpdateSalesClick);
    platform::connectGuarded(btUpdateBatches, &QPushButton::clicked, this, &TfmExplorer::btUpdateBatchesClick);
    platform::connectGuarded(btStop, &QPushButton::clicked, this, &TfmExplorer::btStopClick);
    Label1->installEventFilter(this);
    chListMonth->viewport()->installEventFilter(this);
    chListDay->viewport()->installEventFilter(this);
}

void TfmExplorer::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    platform::guarded([this] { FormShow(); });
}

// A mouse press starts a new click, so a direct toggle by the space key before it cannot swallow
// the click's own toggle.
bool TfmExplorer::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress && watched == chListMonth->viewport())
        monthClickChecked_ = false;
    else if (event->type() == QEvent::MouseButtonPress && watched == chListDay->viewport())
        dayClickChecked_ = false;
    else if (event->type() == QEvent::MouseButtonRelease && watched == Label1 &&
             static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        platform::guarded([this] { Label1Click(); });
    return QDialog::eventFilter(watched, event);
}

void TfmExplorer::FormShow()
{
    Timer1->start();
    StopRequested = false;
    fillCheckList(chListMonth, monthListRows(QDate::currentDate()));
    fillCheckList(chListDay, dayListRows());
    tickRows(chListMonth, std::exchange(monthsToTick_, {}));
    tickRows(chListDay, std::exchange(daysToTick_, {}));
}

void TfmExplorer::tickOnNextShow(QList<QByteArray> months, QList<QByteArray> days)
{
    monthsToTick_ = std::move(months);
    daysToTick_ = std::move(days);
}

void TfmExplorer::Timer1Timer()
{
    Timer1->stop();
    if (running_) {
        loginCheckPending_ = true;
        return;
    }
    const PageFetcher fetcher = PageFetcher::create(data::dm->appDir());
    fetcher.fetchPage(fetcher.site().startPage());
    if (!QFile::exists(fetcher.scratchFile())) {
        showError(QStringLiteral(u"Ошибка при скачивании страницы ") + QString::fromLatin1(fetcher.site().statsPage()));
        return;
    }
    QList<QByteArray> page;
    try {
        page = readRawLines(fetcher.scratchFile());
    } catch (const PageError&) {
        QFile::remove(fetcher.scratchFile());
        return;
    }
    switch (startPageSign(pageText(page))) {
    case StartPageSign::LoginRequired:
        if (!showLoginPrompt(*this, fetcher.site().statsPage()))
            done(QDialog::Rejected);
        break;
    case StartPageSign::LoggedIn:
        btUpdateSales->setEnabled(true);
        break;
    case StartPageSign::Unknown:
        break;
    }
}

void TfmExplorer::chListMonthClickCheck()
{
    monthClickChecked_ = true;
}

void TfmExplorer::chListDayClickCheck()
{
    dayClickChecked_ = true;
}

void TfmExplorer::chListMonthClick(const QModelIndex& index)
{
    toggleClickedRow(chListMonth, monthClickChecked_, index);
}

void TfmExplorer::chListDayClick(const QModelIndex& index)
{
    toggleClickedRow(chListDay, dayClickChecked_, index);
}

void TfmExplorer::Label1Click()
{
    for (int row = 0; row < chListMonth->count(); ++row)
        setTick(chListMonth, chListMonth->item(row), Qt::Unchecked);
}

void TfmExplorer::btUpdateSalesClick()
{
    runCollection(&collectSales);
}

void TfmExplorer::btUpdateBatchesClick()
{
    runCollection(&collectBatches);
}

void TfmExplorer::btStopClick()
{
    StopRequested = true;
}

void TfmExplorer::runCollection(Collector collector)
{
    if (running_)
        return;
    const RunScope run(*this);
    const PageFetcher fetcher = PageFetcher::create(data::dm->appDir());
    collector(*this, fetcher, *data::dm);
}

void TfmExplorer::afterRun()
{
    if (std::exchange(closeRequested_, false)) {
        done(QDialog::Rejected);
        return;
    }
    if (std::exchange(loginCheckPending_, false))
        platform::guarded([this] { Timer1Timer(); });
}

void TfmExplorer::done(int result)
{
    if (running_) {
        closeRequested_ = true;
        return;
    }
    Timer1->stop();
    loginCheckPending_ = false;
    QDialog::done(result);
}

bool TfmExplorer::askYesNo(const QString& caption, const QString& text)
{
    return platform::showMessageBox({QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::Yes}) == QMessageBox::Yes;
}

void TfmExplorer::openUrl(const QByteArray& address)
{
    platform::openAddress(QUrl::fromEncoded(address));
}

QList<QByteArray> TfmExplorer::tickedMonths() const
{
    return tickedRows(chListMonth);
}

QList<QByteArray> TfmExplorer::tickedDays() const
{
    return tickedRows(chListDay);
}

void TfmExplorer::clearLog()
{
    RichEdit1->clear();
    logLines_ = 0;
}

void TfmExplorer::setLogColor(LogColor color)
{
    logColor_ = color;
}

// Inserted as plain text: a title from a page is never taken as markup; its character references are
// shown decoded.
void TfmExplorer::appendLogLine(const QByteArray& line)
{
    QTextCharFormat format;
    format.setForeground(QColor(logColor_.red, logColor_.green, logColor_.blue));
    QTextCursor cursor(RichEdit1->document());
    cursor.movePosition(QTextCursor::End);
    if (logLines_++ > 0)
        cursor.insertBlock(QTextBlockFormat(), format);
    else
        cursor.setBlockCharFormat(format);
    cursor.insertText(platform::readableText(line), format);
}

void TfmExplorer::scrollLogPageDown()
{
    RichEdit1->verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
}

// A maximum of 0 would turn the bar into a busy indicator; it shows as an empty bar of 1 instead.
void TfmExplorer::setProgressMaximum(int maximum)
{
    ProgressBar2->setRange(0, std::max(maximum, 1));
}

void TfmExplorer::setProgressPosition(int position)
{
    ProgressBar2->setValue(position);
}

void TfmExplorer::stepProgress()
{
    ProgressBar2->setValue(std::min(ProgressBar2->value() + 1, ProgressBar2->maximum()));
}

int TfmExplorer::progressMaximum() const
{
    return ProgressBar2->maximum();
}

void TfmExplorer::setDateLabel(const QByteArray& text)
{
    lbDate->setText(platform::fromWin1251(text));
}

void TfmExplorer::showError(const QString& text)
{
    platform::showMessageBox({QMessageBox::Critical, QStringLiteral(u"Ошибка"), text, QMessageBox::Ok, QMessageBox::Ok});
}

void TfmExplorer::showInformation(const QString& text)
{
    platform::showMessageBox(
        {QMessageBox::Information, QApplication::applicationName(), text, QMessageBox::Ok, QMessageBox::Ok});
}

void TfmExplorer::processPendingMessages()
{
    QCoreApplication::processEvents();
}

void TfmExplorer::refreshPictureList()
{
    if (refreshMainList)
        refreshMainList();
}

} // namespace collect
