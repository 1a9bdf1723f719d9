// The analytics window on a real database, offscreen: its tabs reading their figures, the period
// refused with its message, the heat map, copying and exporting the table, a batch chosen by a
// double-click; and the line chart's pixels.

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "analytics/analytics_window.h"
#include "analytics/chart_view.h"
#include "analytics/line_chart.h"
#include "analytics/report_table_model.h"
#include "platform/canvas.h"
#include "platform/file_dialog.h"
#include "tests/support/application_environment.h"
#include "tests/support/temp_database.h"

namespace {

using namespace analytics;
using namespace Qt::Literals::StringLiterals;

[[maybe_unused]] const auto* const environment =
    ::testing::AddGlobalTestEnvironment(new test_support::ApplicationEnvironment<QApplication>);

// Batch 42: pictures 1 (sold in March and April 2010) and 2 (never sold), accepted in March 2010;
// picture 3 without batch or acceptance date, sold in April.
class AnalyticsWindowTest : public test_support::DatabaseTest
{
protected:
    void SetUp() override
    {
        db.execute("insert into PICTURES (ID, IDBATCH, ACCEPT_DATE) values (1, 42, '01.03.2010')");
        db.execute("insert into PICTURES (ID, IDBATCH, ACCEPT_DATE) values (2, 42, '01.03.2010')");
        db.execute("insert into PICTURES (ID) values (3)");
        for (const char* values :
             {"1, 2, 0.5, '10.03.2010'", "1, 1, 0.25, '02.04.2010'", "3, 4, 1.0, '20.04.2010'"})
            db.execute(QByteArray("insert into SALES (ID, IDPICTURE, \"COUNT\", \"SUM\", SALE_DATE) values "
                                  "(gen_id(GEN_SALES_ID, 1), ") +
                       values + ")");
    }

    QString cell(ReportPage* page, int row, int column)
    {
        return page->table()->model()->index(row, column).data().toString();
    }
};

TEST_F(AnalyticsWindowTest, TabsReadTheirPeriodAndRefuseABackwardOne)
{
    AnalyticsWindow window(dm());
    ASSERT_EQ(window.tabs->count(), 6);
    const QStringList titles{u"Поколения"_s,      u"Жизненный цикл"_s, u"Партии"_s,
                             u"Ключевые слова"_s, u"Папки"_s,          u"Сезонность"_s};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(window.tabs->tabText(i), titles[i]);

    window.openFor(QDate(2010, 1, 1), QDate(2010, 12, 31));
    ReportPage* cohorts = window.page(Report::Cohorts);
    ASSERT_EQ(cohorts->table()->model()->rowCount(), 2);
    EXPECT_EQ(cell(cohorts, 0, 0), u"03.2010"_s);
    EXPECT_EQ(cell(cohorts, 0, 3), u"0,75"_s) << "earnings of the March pictures";
    EXPECT_EQ(cell(cohorts, 1, 0), u"без даты приемки"_s);
    EXPECT_EQ(cohorts->table()->model()->headerData(6, Qt::Horizontal).toString(), u"03.2010"_s);
    // The heat map: the largest cell deepest, an empty one left white.
    const QModelIndex largest = cohorts->table()->model()->index(1, 7),
                      none = cohorts->table()->model()->index(1, 6);
    EXPECT_EQ(largest.data(Qt::BackgroundRole).value<QColor>(), QColor(255, 100, 20));
    EXPECT_FALSE(none.data(Qt::BackgroundRole).isValid());
    cohorts->cbCells->setCurrentIndex(1);
    EXPECT_EQ(cell(cohorts, 0, 6), u"2"_s) << "downloads in March";
    EXPECT_FALSE(window.page(Report::Batches)->loadedPeriod()) << "a tab reads when it is shown";

    window.edTill->setDate(QDate(2009, 12, 31));
    window.btApply->click();
    EXPECT_EQ(cohorts->message()->text(), u"Конец периода (31.12.2009) раньше его начала (01.01.2010)"_s);
    EXPECT_EQ(cohorts->table()->model()->rowCount(), 0);

    window.edTill->setDate(QDate(2010, 12, 31));
    window.tabs->setCurrentIndex(int(Report::Seasonality));
    ReportPage* seasons = window.page(Report::Seasonality);
    EXPECT_EQ(cell(seasons, 2, 1), u"0,50"_s) << "March 2010";
    EXPECT_EQ(seasons->message()->text(),
              u"С 01.01.2010 по 20.04.2010: 1,75; год назад за те же дни: 0,00"_s);
    EXPECT_EQ(seasons->chart()->chart().series.size(), 1u);
}

TEST_F(AnalyticsWindowTest, BatchRowsCopyExportAndChooseTheBatch)
{
    AnalyticsWindow window(dm());
    window.openFor(QDate(2010, 1, 1), QDate(2010, 12, 31));
    window.tabs->setCurrentIndex(int(Report::Batches));
    ReportPage* batches = window.page(Report::Batches);
    ASSERT_EQ(batches->table()->model()->rowCount(), 2);
    EXPECT_EQ(cell(batches, 0, 0), u"42"_s);
    EXPECT_EQ(cell(batches, 1, 0), u"без партии"_s);

    // Sorted by pictures, fewest first, the table keeps each row's batch.
    batches->table()->sortByColumn(2, Qt::AscendingOrder);
    EXPECT_EQ(cell(batches, 0, 0), u"без партии"_s);
    struct Chosen
    {
        std::int64_t batchId;
        QDate from, till;
    };
    std::vector<Chosen> chosen;
    QObject::connect(&window, &AnalyticsWindow::batchChosen,
                     [&](std::int64_t batchId, QDate from, QDate till) {
                         chosen.push_back({batchId, from, till});
                     });
    Q_EMIT batches->table()->doubleClicked(batches->table()->model()->index(0, 0));
    EXPECT_TRUE(chosen.empty()) << "the pictures without a batch are no batch";
    Q_EMIT batches->table()->doubleClicked(batches->table()->model()->index(1, 3));
    ASSERT_EQ(chosen.size(), 1u);
    EXPECT_EQ(chosen[0].batchId, 42);
    EXPECT_EQ(chosen[0].from, QDate(2010, 1, 1));
    EXPECT_EQ(chosen[0].till, QDate(2010, 12, 31));

    batches->table()->selectRow(1);
    QKeyEvent copy(QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier);
    QApplication::sendEvent(batches->table(), &copy);
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(),
              QString(u"Партия\tДата приемки\tИзображений\tПродано, %\tПродаж\tЗаработок\tНа изображение\t"
                      "Индекс\n42\t01.03.2010\t2\t50,0\t3\t0,75\t0,38\t64,3\n"_s)
                  .toStdString());

    QTemporaryDir dir;
    platform::SaveFileRecorder dialog;
    dialog.setAnswer(dir.filePath(u"batches.csv"_s));
    batches->btExport->click();
    ASSERT_EQ(dialog.requests().size(), 1u);
    EXPECT_TRUE(
        dialog.requests()[0].suggestedPath.endsWith(u"photoledger-batches-01.01.2010-31.12.2010.csv"_s));
    QFile file(dir.filePath(u"batches.csv"_s));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(),
              "\xEF\xBB\xBF" + tableText(batches->model()->table(), platform::SheetForm::Csv).toUtf8());
}

TEST(LineChartTest, BandsGuidesAndLinesWhereTheValuesPutThem)
{
    struct Case
    {
        double top, step;
    };
    for (const Case& c : {Case{0, 1}, Case{4, 1}, Case{7.5, 2}, Case{12, 5}, Case{0.3, 0.1}, Case{1234, 500}})
        EXPECT_DOUBLE_EQ(guideStep(c.top), c.step) << c.top;

    // Two points on a plot from x 64 to 188 and y 12 to 98: bands 62 pixels wide, guides every 1 up to 4.
    LineChart chart{{u"0"_s, u"1"_s}, {{u"2024"_s, QColor(0, 0, 255), {4.0, std::nullopt}}}};
    QImage image(200, 120, QImage::Format_RGB32);
    {
        QPainter painter(&image);
        platform::Canvas canvas(painter);
        drawLineChart(canvas, image.size(), chart);
    }
    EXPECT_EQ(image.pixelColor(100, 60), QColor(Qt::white)) << "the first point's band";
    EXPECT_EQ(image.pixelColor(160, 60), QColor(255, 255, 224)) << "the second point's band is tinted";
    EXPECT_EQ(image.pixelColor(160, 98), QColor(192, 192, 192)) << "the guide of 0 on the plot's bottom";
    EXPECT_EQ(image.pixelColor(95, 12), QColor(0, 0, 255))
        << "the point of 4 at the top, centred in its band";
    EXPECT_EQ(image.pixelColor(157, 12), QColor(192, 192, 192)) << "no line to a point without a value";
}

} // namespace
