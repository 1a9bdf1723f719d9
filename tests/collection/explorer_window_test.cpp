#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QStyleOptionViewItem>
#include <QTableWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>

#include "collect/choice_lists.h"
#include "collect/explorer_window.h"
#include "collect/gaps_window.h"
#include "platform/desktop.h"
#include "platform/handler_guard.h"
#include "platform/message_box.h"
#include "platform/win1251.h"
#include "tests/collection/collection_fixture.h"
#include "tests/collection/page_server.h"
#include "tools/agency-sim/calendar.h"
#include "tools/agency-sim/texts.h"

using namespace collection_tests;
using collect::TfmExplorer;

namespace {

class ApplicationEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        application_ = std::make_unique<QApplication>(argc_, argv_);
        QApplication::setApplicationName(QStringLiteral("Photoledger"));
    }
    void TearDown() override { application_.reset(); }

private:
    int argc_ = 1;
    char name_[21] = "explorer_window_test";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> application_;
};

[[maybe_unused]] const auto* const environment = ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

QPoint checkBoxCentre(QListWidget* list, QListWidgetItem* item)
{
    QStyleOptionViewItem option;
    option.initFrom(list);
    option.rect = list->visualItemRect(item);
    option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
    option.text = item->text();
    return list->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, list).center();
}

// A left click on a row: on its tick box, or on its text.
void clickRow(QListWidget* list, int row, bool onBox = false)
{
    QListWidgetItem* item = list->item(row);
    list->scrollToItem(item);
    const QRect rect = list->visualItemRect(item);
    const QPoint point = onBox ? checkBoxCentre(list, item) : QPoint(rect.right() - 4, rect.center().y());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, point);
}

bool ticked(QListWidget* list, int row)
{
    return list->item(row)->checkState() == Qt::Checked;
}

int rowOf(QListWidget* list, const QString& text)
{
    const QList<QListWidgetItem*> items = list->findItems(text, Qt::MatchExactly);
    return items.isEmpty() ? -1 : list->row(items.front());
}

// The window over the fixture's program directory and agency, shown without its opening check.
class ExplorerWindow : public CollectionTest
{
protected:
    void SetUp() override
    {
        startAgency();
        configureProgramDir();
        window.refreshMainList = [this] { ++refreshes; };
        window.show();
        window.Timer1->stop();
        previousReporter = platform::setErrorReporter([this](const QString& message) { errors.append(message); });
    }
    void TearDown() override { platform::setErrorReporter(previousReporter); }

    void tick(QListWidget* list, const QString& text) { list->item(rowOf(list, text))->setCheckState(Qt::Checked); }

    QStringList logLines() const { return window.RichEdit1->toPlainText().split(QLatin1Char('\n')); }

    // Text and colour of each non-empty line of the log.
    QList<std::pair<QString, QColor>> colouredLog() const
    {
        QList<std::pair<QString, QColor>> lines;
        for (QTextBlock block = window.RichEdit1->document()->begin(); block.isValid(); block = block.next())
            if (!block.text().isEmpty())
                lines.append({block.text(), block.begin().fragment().charFormat().foreground().color()});
        return lines;
    }

    TfmExplorer window;
    platform::MessageBoxRecorder boxes;
    platform::AddressRecorder addresses;
    platform::ErrorReporter previousReporter;
    QStringList errors;
    int refreshes = 0;
};

} // namespace

TEST_F(ExplorerWindow, ControlsStartAsDesigned)
{
    TfmExplorer fresh;
    EXPECT_EQ(fresh.objectName(), QStringLiteral("fmExplorer"));
    EXPECT_EQ(fresh.windowTitle(), QStringLiteral(u"Сбор статистики"));
    EXPECT_EQ(fresh.size(), QSize(717, 494));
    EXPECT_TRUE(fresh.isModal());
    EXPECT_EQ(fresh.btUpdateSales->text(), QStringLiteral(u"Продажи"));
    EXPECT_FALSE(fresh.btUpdateSales->isEnabled());
    EXPECT_EQ(fresh.btUpdateBatches->text(), QStringLiteral(u"Приемка"));
    EXPECT_TRUE(fresh.btUpdateBatches->isEnabled());
    EXPECT_EQ(fresh.btStop->text(), QStringLiteral(u"Отменить"));
    EXPECT_EQ(fresh.Label1->text(), QStringLiteral(u"очистить"));
    EXPECT_EQ(fresh.lbDate->text(), QStringLiteral(u"Дата"));
    EXPECT_EQ(fresh.lbDate->width(), 65);
    EXPECT_EQ(fresh.chListMonth->width(), 105);
    EXPECT_EQ(fresh.chListDay->width(), 47);
    EXPECT_TRUE(fresh.RichEdit1->isReadOnly());
    EXPECT_EQ(fresh.RichEdit1->lineWrapMode(), QTextEdit::NoWrap);
    EXPECT_EQ(fresh.RichEdit1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(fresh.RichEdit1->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(fresh.Timer1->interval(), 500);
    EXPECT_TRUE(fresh.Timer1->isSingleShot());
    EXPECT_FALSE(fresh.Timer1->isActive());
}

TEST_F(ExplorerWindow, ShowingFillsBothListsAndStartsTheLoginCheckTimer)
{
    const QStringList months = collect::monthListRows(QDate::currentDate());
    ASSERT_EQ(window.chListMonth->count(), months.size());
    for (int row = 0; row < months.size(); ++row) {
        EXPECT_EQ(window.chListMonth->item(row)->text(), months[row]);
        EXPECT_EQ(bool(window.chListMonth->item(row)->flags() & Qt::ItemIsEnabled), months[row] != collect::MonthSeparator);
        EXPECT_FALSE(ticked(window.chListMonth, row));
    }
    EXPECT_EQ(window.chListDay->item(0)->text(), QStringLiteral("31"));
    EXPECT_EQ(window.chListDay->item(30)->text(), QStringLiteral("01"));

    tick(window.chListMonth, QStringLiteral("2008-05"));
    window.StopRequested = true;
    window.hide();
    window.show();
    EXPECT_TRUE(window.Timer1->isActive());
    EXPECT_FALSE(window.StopRequested);
    EXPECT_TRUE(window.tickedMonths().isEmpty());
}

TEST_F(ExplorerWindow, OneClickTogglesARowOnceWhereverItLands)
{
    const int row = rowOf(window.chListMonth, QStringLiteral("2008-05"));
    clickRow(window.chListMonth, row);
    EXPECT_TRUE(ticked(window.chListMonth, row));
    clickRow(window.chListMonth, row);
    EXPECT_FALSE(ticked(window.chListMonth, row));
    clickRow(window.chListMonth, row, true);
    EXPECT_TRUE(ticked(window.chListMonth, row));
    clickRow(window.chListMonth, row, true);
    EXPECT_FALSE(ticked(window.chListMonth, row));

    clickRow(window.chListDay, 3);
    EXPECT_EQ(window.tickedDays(), QList<QByteArray>{"28"});
    clickRow(window.chListDay, 3, true);
    EXPECT_TRUE(window.tickedDays().isEmpty());
}

TEST_F(ExplorerWindow, ASeparatorRowStaysUnticked)
{
    const int separator = rowOf(window.chListMonth, collect::MonthSeparator);
    clickRow(window.chListMonth, separator);
    clickRow(window.chListMonth, separator, true);
    EXPECT_FALSE(ticked(window.chListMonth, separator));
    EXPECT_TRUE(window.tickedMonths().isEmpty());
}

TEST_F(ExplorerWindow, ASpaceKeyToggleDoesNotSwallowTheNextClick)
{
    window.chListDay->setFocus();
    window.chListDay->setCurrentRow(0);
    QTest::keyClick(window.chListDay, Qt::Key_Space);
    EXPECT_TRUE(ticked(window.chListDay, 0));
    clickRow(window.chListDay, 5);
    EXPECT_TRUE(ticked(window.chListDay, 5));
}

TEST_F(ExplorerWindow, ClearUnticksTheMonthsAndKeepsTheDays)
{
    tick(window.chListMonth, QStringLiteral("2008-05"));
    tick(window.chListMonth, QStringLiteral("2007-12"));
    tick(window.chListDay, QStringLiteral("05"));
    QTest::mouseClick(static_cast<QWidget*>(window.Label1), Qt::LeftButton);
    EXPECT_TRUE(window.tickedMonths().isEmpty());
    EXPECT_EQ(window.tickedDays(), QList<QByteArray>{"05"});
}

TEST_F(ExplorerWindow, ALoggedInStartPageEnablesSales)
{
    window.Timer1Timer();
    EXPECT_TRUE(window.btUpdateSales->isEnabled());
    EXPECT_TRUE(boxes.requests().empty());
}

TEST_F(ExplorerWindow, ALoginStartPageAsksAndNoClosesTheWindow)
{
    configureProgramDir(false);
    boxes.queueAnswer(QMessageBox::No);
    window.Timer1Timer();
    ASSERT_EQ(boxes.requests().size(), 1u);
    EXPECT_EQ(boxes.requests()[0].icon, QMessageBox::Question);
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(window.btUpdateSales->isEnabled());
}

TEST_F(ExplorerWindow, ALoginStartPageAsksAndYesOpensTheStatisticsPage)
{
    configureProgramDir(false);
    boxes.queueAnswer(QMessageBox::Yes);
    window.Timer1Timer();
    EXPECT_TRUE(window.isVisible());
    ASSERT_EQ(addresses.requests().size(), 1u);
    EXPECT_EQ(addresses.requests()[0].toString(), QString::fromStdString(agency().baseUrl() + "/stats.mhtml"));
}

TEST_F(ExplorerWindow, AStartPageThatDoesNotArriveIsADownloadError)
{
    agency().stop();
    window.Timer1Timer();
    ASSERT_EQ(boxes.requests().size(), 1u);
    EXPECT_EQ(boxes.requests()[0].caption, QStringLiteral(u"Ошибка"));
    EXPECT_EQ(boxes.requests()[0].text, QStringLiteral(u"Ошибка при скачивании страницы ") +
                                            QString::fromStdString(agency().baseUrl() + "/stats.mhtml"));
    EXPECT_FALSE(window.btUpdateSales->isEnabled());
}

TEST_F(ExplorerWindow, AStartPageWithNeitherSignChangesNothing)
{
    const PageServer pages(std::map<std::string, std::string>{{"/main.mhtml", "<html><p>Maintenance</p></html>"}});
    QFile conf(db.appDir() + QStringLiteral("/conf.ini"));
    conf.open(QIODevice::WriteOnly | QIODevice::Truncate);
    conf.write("[Agency]\nContributorSite=" + QByteArray::fromStdString(pages.baseUrl()) + "\nCookieFile=cookies.txt\n");
    conf.close();
    window.Timer1Timer();
    EXPECT_TRUE(boxes.requests().empty());
    EXPECT_FALSE(window.btUpdateSales->isEnabled());
    EXPECT_TRUE(window.isVisible());
}

TEST_F(ExplorerWindow, ASalesRunLogsInColoursAndRefreshesTheMainList)
{
    const agencysim::Day day = portfolio().saleDays(std::chrono::year(2008) / std::chrono::April)[2];
    window.Timer1Timer();
    tick(window.chListMonth, QStringLiteral("2008-04"));
    tick(window.chListDay, QString::fromStdString(agencysim::isoDate(day).substr(8, 2)));
    window.btUpdateSales->click();

    QList<std::pair<QString, QColor>> expected = {
        {QStringLiteral("========================== ") + QString::fromStdString(agencysim::isoDate(day)) +
             QStringLiteral(" =========================="),
         QColor(0, 128, 0)}};
    for (const agencysim::SaleEntry& entry : portfolio().dayEntries(day)) {
        const QColor colour = entry.kind == agencysim::SaleKind::Regular    ? QColor(0, 128, 0)
                              : entry.kind == agencysim::SaleKind::OnDemand ? QColor(0, 0, 255)
                                                                            : QColor(255, 0, 0);
        const std::string title = agencysim::pictureTitle(portfolio().options().seed, entry.pictureId);
        expected.append({QString::number(entry.pictureId) + QStringLiteral(" [") + QString::number(entry.count) +
                             QLatin1Char('/') + QString::asprintf("%d.%02d", entry.cents / 100, entry.cents % 100) +
                             QStringLiteral("] ") + platform::fromWin1251(QByteArray::fromStdString(title)),
                         colour});
    }
    EXPECT_EQ(colouredLog(), expected);
    EXPECT_EQ(logLines().first(), QString());
    EXPECT_EQ(window.lbDate->text(), QString::fromStdString(agencysim::isoDate(day)));
    EXPECT_EQ(window.ProgressBar2->maximum(), 30);
    EXPECT_EQ(window.ProgressBar2->value(), 30);
    ASSERT_EQ(boxes.requests().size(), 1u);
    EXPECT_EQ(boxes.requests()[0].text, QStringLiteral(u"Обновлено!"));
    EXPECT_EQ(boxes.requests()[0].caption, QStringLiteral("Photoledger"));
    EXPECT_EQ(boxes.requests()[0].icon, QMessageBox::Information);
    EXPECT_EQ(refreshes, 1);
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(ExplorerWindow, ASecondRunIsRefusedAndACloseWaitsForTheRunsEnd)
{
    tick(window.chListMonth, QStringLiteral("2008-05"));
    bool buttonsDisabled = false;
    bool stillOpen = false;
    QTimer::singleShot(0, &window, [&] {
        buttonsDisabled = !window.btUpdateSales->isEnabled() && !window.btUpdateBatches->isEnabled();
        window.btUpdateBatchesClick();
        window.btUpdateSalesClick();
        window.reject();
        stillOpen = window.isVisible() && window.running();
    });
    window.btUpdateBatches->click();
    EXPECT_TRUE(buttonsDisabled);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(boxes.requests().size(), 1u);
    EXPECT_EQ(refreshes, 1);
    EXPECT_TRUE(window.isVisible());
    QCoreApplication::processEvents();
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(window.btUpdateBatches->isEnabled());
    EXPECT_FALSE(window.btUpdateSales->isEnabled());
}

TEST_F(ExplorerWindow, CancelEndsTheRunBeforeTheNextDayWithoutMessage)
{
    window.Timer1Timer();
    tick(window.chListMonth, QStringLiteral("2008-05"));
    QTimer::singleShot(0, window.btStop, &QPushButton::click);
    window.btUpdateSales->click();
    EXPECT_EQ(window.RichEdit1->toPlainText().count(QStringLiteral("==========================")), 2);
    EXPECT_TRUE(boxes.requests().empty());
    EXPECT_EQ(refreshes, 0);
    EXPECT_TRUE(window.btUpdateSales->isEnabled());
}

TEST_F(ExplorerWindow, CancelWhileIdleDoesNotStopTheNextRun)
{
    window.btStop->click();
    tick(window.chListMonth, QStringLiteral("2008-05"));
    window.btUpdateBatches->click();
    ASSERT_EQ(boxes.requests().size(), 1u);
    EXPECT_EQ(boxes.requests()[0].text, QStringLiteral(u"Обновлено!"));
}

TEST_F(ExplorerWindow, AnErrorEndsTheRunInTheErrorBoxAndTheWindowStaysUsable)
{
    tick(window.chListMonth, QStringLiteral("2008-05"));
    agency().stop();
    window.btUpdateBatches->click();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(QStringLiteral("review.mhtml"))) << errors[0].toStdString();
    EXPECT_FALSE(window.running());
    EXPECT_TRUE(window.btUpdateBatches->isEnabled());
    EXPECT_TRUE(boxes.requests().empty());
}

// A sales run whose last day page fails leaves that day as the calendar's only gap; the calendar's
// button opens the collection window with the gap's month and day ticked, and once that run has
// collected the day the calendar shows it collected and no gap.
TEST_F(ExplorerWindow, TheGapsCalendarShowsTheFailedDayAndOpensTheCollectionWithItTicked)
{
    const std::vector<agencysim::Day> days =
        portfolio().saleDays(std::chrono::year(2008) / std::chrono::April);
    const agencysim::Day failed = days.back();
    const QByteArray failedDay = isoDay(failed).mid(8, 2);
    startAgency(failing("date=" + agencysim::isoDate(failed)));
    configureProgramDir();
    window.Timer1Timer();
    tick(window.chListMonth, QStringLiteral("2008-04"));
    window.btUpdateSales->click();
    ASSERT_EQ(errors.size(), 1);

    collect::TfmGaps gaps(dm().IBDatabase1);
    gaps.show();
    const QDate today = QDate::currentDate();
    const int april = (today.year() - 2008) * 12 + today.month() - 4;
    ASSERT_EQ(gaps.tbCalendar->rowCount(), april + 1) << "the months from today's back to April 2008";
    const auto cell = [&](const agencysim::Day& day) {
        return gaps.tbCalendar->item(april, isoDay(day).mid(8, 2).toInt() - 1);
    };
    const QColor collected = cell(days.front())->background().color();
    EXPECT_NE(cell(failed)->background().color(), collected);
    EXPECT_EQ(gaps.lbSummary->text(), QStringLiteral("Пробелов: 1"));
    EXPECT_TRUE(cell(days.front())
                    ->toolTip()
                    .contains(QStringLiteral("записей %1").arg(portfolio().dayEntries(days.front()).size())))
        << cell(days.front())->toolTip().toStdString();
    EXPECT_TRUE(cell(failed)->toolTip().contains(QStringLiteral("с ошибкой")))
        << cell(failed)->toolTip().toStdString();

    startAgency();
    configureProgramDir();
    gaps.openCollection = [&](const QList<QByteArray>& months, const QList<QByteArray>& ticks) {
        window.hide();
        window.tickOnNextShow(months, ticks);
        window.show();
        window.Timer1->stop();
        EXPECT_EQ(window.tickedMonths(), QList<QByteArray>{"2008-04"});
        EXPECT_EQ(window.tickedDays(), QList<QByteArray>{failedDay});
        window.Timer1Timer();
        window.btUpdateSales->click();
    };
    gaps.btCollectGaps->click();
    EXPECT_EQ(storedSales(failed), expectedSales(failed));
    EXPECT_EQ(cell(failed)->background().color(), collected);
    EXPECT_EQ(gaps.lbSummary->text(), QStringLiteral("Пробелов нет"));
    EXPECT_FALSE(gaps.btCollectGaps->isEnabled());
}
