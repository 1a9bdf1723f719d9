#include "collect/gaps_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "platform/handler_guard.h"
#include "platform/win1251.h"

namespace collect {

namespace {

constexpr int DayColumns = 31;
constexpr int DayCellWidth = 24;
constexpr int DayCellHeight = 20;
constexpr int WindowHeight = 480;
constexpr int MonthHeaderWidth = 110;
constexpr int LegendSwatch = 14;

struct StateLook
{
    DayState state;
    QColor colour;
    QString name;
};

const StateLook StateLooks[] = {
    {DayState::Collected, QColor(76, 175, 80), QStringLiteral("собран")},
    {DayState::NoSales, QColor(200, 230, 201), QStringLiteral("собран, продаж нет")},
    {DayState::Gap, QColor(229, 57, 53), QStringLiteral("пробел")},
    {DayState::NeverLooked, QColor(224, 224, 224), QStringLiteral("не просматривался")},
};

const StateLook& lookOf(DayState state)
{
    for (const StateLook& look : StateLooks) {
        if (look.state == state)
            return look;
    }
    return StateLooks[0];
}

QString readText(const data::DayRead& read)
{
    const QString when = read.readAt.toString(QStringLiteral("dd.MM.yyyy HH:mm"));
    switch (read.end) {
    case data::DayReadEnd::Stored:
        return QStringLiteral("прочитан %1: записей %2, загрузок %3, заработок $%4")
            .arg(when)
            .arg(read.entries)
            .arg(read.downloads)
            .arg(read.earnings, 0, 'f', 2);
    case data::DayReadEnd::LoginPage:
        return QStringLiteral("прочитан %1: вместо страницы пришёл вход на фотобанк").arg(when);
    case data::DayReadEnd::Failed:
        break;
    }
    return QStringLiteral("прочитан %1 с ошибкой (записей до неё: %2): %3")
        .arg(when)
        .arg(read.entries)
        .arg(platform::fromWin1251(read.message));
}

// The calendar row of the day's month: 0 for the newest month, counting back.
int monthRow(QDate newest, QDate day)
{
    return (newest.year() - day.year()) * 12 + newest.month() - day.month();
}

QString monthTitle(QDate month)
{
    return QLocale(QLocale::Russian).standaloneMonthName(month.month()) + QLatin1Char(' ') +
           QString::number(month.year());
}

} // namespace

TfmGaps::TfmGaps(data::Connection& connection, QWidget* parent) : QDialog(parent), connection_(connection)
{
    setObjectName(QStringLiteral("fmGaps"));
    setWindowTitle(QStringLiteral("Пробелы"));
    tbCalendar = new QTableWidget(0, DayColumns);
    tbCalendar->setObjectName(QStringLiteral("tbCalendar"));
    tbCalendar->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tbCalendar->setSelectionMode(QAbstractItemView::NoSelection);
    tbCalendar->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    tbCalendar->horizontalHeader()->setDefaultSectionSize(DayCellWidth);
    tbCalendar->verticalHeader()->setFixedWidth(MonthHeaderWidth);
    tbCalendar->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    tbCalendar->verticalHeader()->setDefaultSectionSize(DayCellHeight);
    // Every day of a month is in sight; only the months scroll.
    tbCalendar->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    tbCalendar->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    for (int day = 1; day <= DayColumns; ++day)
        tbCalendar->setHorizontalHeaderItem(day - 1, new QTableWidgetItem(QString::number(day)));
    tbCalendar->setMinimumWidth(MonthHeaderWidth + tbCalendar->horizontalHeader()->length() +
                                tbCalendar->verticalScrollBar()->sizeHint().width() +
                                2 * tbCalendar->frameWidth());
    lbSummary = new QLabel;
    lbSummary->setObjectName(QStringLiteral("lbSummary"));
    btCollectGaps = new QPushButton(QStringLiteral("Собрать пробелы"));
    btCollectGaps->setObjectName(QStringLiteral("btCollectGaps"));
    btClose = new QPushButton(QStringLiteral("Закрыть"));
    btClose->setObjectName(QStringLiteral("btClose"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(lbSummary, 1);
    buttons->addWidget(btCollectGaps);
    buttons->addWidget(btClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tbCalendar, 1);
    layout->addWidget(buildLegend());
    layout->addLayout(buttons);
    resize(sizeHint().width(), WindowHeight);

    platform::connectGuarded(btCollectGaps, &QPushButton::clicked, this, &TfmGaps::btCollectGapsClick);
    connect(btClose, &QPushButton::clicked, this, &QDialog::reject);
}

QWidget* TfmGaps::buildLegend()
{
    auto* legend = new QWidget;
    auto* row = new QHBoxLayout(legend);
    row->setContentsMargins(0, 0, 0, 0);
    for (const StateLook& look : StateLooks) {
        auto* swatch = new QLabel;
        swatch->setFixedSize(LegendSwatch, LegendSwatch);
        swatch->setStyleSheet(
            QStringLiteral("background: %1; border: 1px solid gray;").arg(look.colour.name()));
        row->addWidget(swatch);
        row->addWidget(new QLabel(look.name));
        row->addSpacing(12);
    }
    row->addStretch(1);
    return legend;
}

void TfmGaps::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    platform::guarded([this] { refresh(); });
}

void TfmGaps::refresh()
{
    calendar_.emplace(data::readCollectionRecord(connection_), QDate::currentDate());
    const QDate today = calendar_->today();
    const QDate newest(today.year(), today.month(), 1);
    const int months = monthRow(newest, calendar_->firstMonth()) + 1;
    tbCalendar->setRowCount(months);
    for (int row = 0; row < months; ++row)
        fillMonthRow(row, newest.addMonths(-row));
    const QList<QDate> gaps = calendar_->gaps();
    lbSummary->setText(gaps.isEmpty() ? QStringLiteral("Пробелов нет")
                                      : QStringLiteral("Пробелов: %1").arg(gaps.size()));
    btCollectGaps->setEnabled(!gaps.isEmpty());
    if (!gaps.isEmpty()) {
        // The latest gap is the current cell, which the view keeps in sight when it takes the focus, and
        // is brought into sight once the view has laid out the new rows (its own zero timer, started
        // first).
        const int row = monthRow(newest, gaps.back());
        const int column = gaps.back().day() - 1;
        tbCalendar->setCurrentCell(row, column);
        QTimer::singleShot(0, tbCalendar, [this, row, column] {
            tbCalendar->scrollToItem(tbCalendar->item(row, column), QAbstractItemView::PositionAtCenter);
        });
    }
}

void TfmGaps::fillMonthRow(int row, QDate month)
{
    tbCalendar->setVerticalHeaderItem(row, new QTableWidgetItem(monthTitle(month)));
    for (int column = 0; column < DayColumns; ++column) {
        auto* cell = new QTableWidgetItem;
        const QDate day(month.year(), month.month(), column + 1);
        if (day.isValid() && day <= calendar_->today()) {
            const StateLook& look = lookOf(calendar_->state(day));
            cell->setBackground(look.colour);
            const data::DayRead* read = calendar_->lastRead(day);
            cell->setToolTip(day.toString(QStringLiteral("dd.MM.yyyy")) + QStringLiteral(": ") + look.name +
                             (read ? QStringLiteral("\n") + readText(*read) : QString()));
        }
        tbCalendar->setItem(row, column, cell);
    }
}

void TfmGaps::btCollectGapsClick()
{
    const QList<QDate> gaps = calendar_->gaps();
    if (gaps.isEmpty() || !openCollection)
        return;
    openCollection(monthsOf(gaps), daysOfMonthOf(gaps));
    refresh();
}

} // namespace collect
