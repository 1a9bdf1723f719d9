// The chart window on a real database, offscreen: its controls, the drawing on showing and on
// "Обновить", the colour choice through the colour dialog's seam, the scroll range and the errors.

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>

#include <gtest/gtest.h>

#include <vector>

#include "chart/chart_surface.h"
#include "chart/graph_window.h"
#include "platform/click_label.h"
#include "platform/color_dialog.h"
#include "platform/day_bands.h"
#include "platform/handler_guard.h"
#include "tests/support/application_environment.h"
#include "tests/support/temp_database.h"

namespace {

[[maybe_unused]] const auto* const environment =
    ::testing::AddGlobalTestEnvironment(new test_support::ApplicationEnvironment<QApplication>);

// The names of a widget's named ancestors below the window, then its own.
QString namePath(const QWidget* widget)
{
    QStringList names;
    for (; widget && !widget->isWindow(); widget = widget->parentWidget())
        if (!widget->objectName().isEmpty() && !widget->objectName().startsWith(QLatin1String("qt_")))
            names.prepend(widget->objectName());
    return names.join(QLatin1Char('.'));
}

// The surface's pixels over a rectangle of its own coordinates, painted as the window paints them.
QImage surfacePart(chart::ChartSurface* surface, const QRect& part)
{
    return surface->grab(part).toImage().convertToFormat(QImage::Format_RGB32);
}

TEST(GraphWindow, HasTheLegendAndTitleWhereTheSettingsFileLooksForThem)
{
    chart::TfmGraph window;
    EXPECT_EQ(window.objectName(), QStringLiteral("fmGraph"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("График"));
    EXPECT_EQ(window.size(), QSize(903, 414));
    EXPECT_EQ(namePath(window.Image1), QStringLiteral("ScrollBox1.Image1"));
    EXPECT_EQ(namePath(window.Label1), QStringLiteral("ScrollBox1.Label1"));
    EXPECT_EQ(window.Label1->text(), QStringLiteral("График закачек и продаж по всему портфолио за все время"));
    EXPECT_EQ(window.Panel1->geometry(), QRect(8, 8, 177, 106));
    EXPECT_EQ(window.Button1->text(), QStringLiteral("Обновить"));
    EXPECT_EQ(window.Button1->geometry(), QRect(97, 85, 75, 17));
    EXPECT_EQ(namePath(window.Button1), QStringLiteral("ScrollBox1.Panel1.Button1"));

    struct Row
    {
        platform::ClickLabel* label;
        const char* path;
        QString caption;
        QColor color;
        QSpinBox* box;
        int offset;
        int top;
    };
    const Row rows[] = {
        {window.lbDownloads, "ScrollBox1.Panel1.lbDownloads", QStringLiteral("закачки"), QColor(128, 128, 128),
         window.edDownloads, 150, 6},
        {window.lbSales, "ScrollBox1.Panel1.lbSales", QStringLiteral("25-a-day + общая сумма"), QColor(255, 0, 0),
         window.edSales, 50, 26},
        {window.lbOnDemand, "ScrollBox1.Panel1.lbOnDemand", QStringLiteral("on demand"), QColor(0, 128, 0),
         window.edOnDemand, 25, 45},
        {window.lbEnhanced, "ScrollBox1.Panel1.lbEnhanced", QStringLiteral("расширенные"),
         QApplication::palette().color(QPalette::WindowText), window.edEnhanced, 0, 65},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(namePath(row.label), QLatin1String(row.path));
        EXPECT_EQ(row.label->text(), row.caption);
        EXPECT_EQ(chart::labelFontColor(row.label), row.color) << row.path;
        EXPECT_EQ(row.label->pos(), QPoint(4, row.top)) << row.path;
        EXPECT_LT(row.label->geometry().right(), 132) << row.path << ": the caption ends before the offset box";
        EXPECT_EQ(row.label->cursor().shape(), Qt::PointingHandCursor);
        EXPECT_EQ(row.label->toolTip(), QStringLiteral("щелкните для выбора цвета"));
        EXPECT_EQ(row.box->geometry(), QRect(132, row.top - 2, 41, 19)) << row.path;
        EXPECT_EQ(row.box->value(), row.offset);
        EXPECT_EQ(row.box->minimum(), 0);
        EXPECT_EQ(row.box->maximum(), 300);
        EXPECT_TRUE(row.box->alignment().testFlag(Qt::AlignRight));
        EXPECT_EQ(row.box->toolTip(), QStringLiteral("отступ по вертикали"));
    }
}

class ShownGraphWindow : public test_support::DatabaseTest
{
protected:
    std::vector<QString> errors;
    platform::ErrorReporter previousReporter =
        platform::setErrorReporter([this](const QString& message) { errors.push_back(message); });
    chart::TfmGraph window;

    ~ShownGraphWindow() override { platform::setErrorReporter(previousReporter); }

    // Sales of one picture on the first and the last day; GRAPH gives every day between as well.
    void storeDays(const QByteArray& first, const QByteArray& last)
    {
        db.execute("insert into PICTURES (ID) values (7)");
        for (const QByteArray& day : {first, last})
            db.execute("insert into SALES (ID, IDPICTURE, \"COUNT\", \"SUM\", ON_DEMAND, ENHANCED, SALE_DATE) "
                       "values (gen_id(GEN_SALES_ID, 1), 7, 30, 10, 4, 2, '" +
                       day + "')");
    }

    int visibleHeight() const { return window.ScrollBox1->viewport()->height(); }
};

TEST_F(ShownGraphWindow, ANewDatabaseShowsTheWhiteSurfaceAndTheLegendFifteenPixelsDown)
{
    window.show();
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(window.ScrollBox1->horizontalRange(), 50);
    EXPECT_EQ(window.ScrollBox1->horizontalScrollBar()->maximum(), 0);
    EXPECT_EQ(window.Image1->geometry(), QRect(-1, visibleHeight() - 1000, 5000, 1000));
    const QImage shown = surfacePart(window.Image1, QRect(0, 1000 - visibleHeight(), 903, visibleHeight()));
    EXPECT_EQ(shown.pixelColor(100, 100), QColor(Qt::white));
    EXPECT_EQ(window.Panel1->y(), 15);
    EXPECT_EQ(window.Label1->y(), 15);

    window.resize(700, 1300);
    EXPECT_EQ(window.Panel1->y(), 15);
    EXPECT_EQ(window.Image1->geometry(), QRect(-1, 0, 5000, 1300)) << "a taller window has a taller surface";
}

TEST_F(ShownGraphWindow, EveryDayOfALongHistoryCanBeScrolledTo)
{
    storeDays("01.01.2005", "31.12.2014"); // 3652 days
    window.show();
    ASSERT_TRUE(errors.empty());
    const int range = 3652 * 3 + 50;
    EXPECT_EQ(window.ScrollBox1->horizontalRange(), range);
    EXPECT_EQ(window.Image1->width(), range);
    QScrollBar* bar = window.ScrollBox1->horizontalScrollBar();
    EXPECT_EQ(bar->maximum(), range - window.ScrollBox1->viewport()->width());

    bar->setValue(bar->maximum());
    EXPECT_TRUE(window.Image1->visibleRegion().contains(QPoint(3 * 3651 + 2, 1000 - 10)))
        << "the last day's band is in view";
    const QImage end = surfacePart(window.Image1, QRect(3 * 3600, 0, 200, 1000));
    EXPECT_EQ(end.pixelColor(3 * 3651 + 2 - 3 * 3600, 1), platform::dayBandColor(QDate(2014, 12, 31)));
    EXPECT_EQ(end.pixelColor(3 * 3651 - 3 * 3600, 1000 - 30 - 150 + 1), QColor(128, 128, 128))
        << "the line to the last day's downloads";
}

TEST_F(ShownGraphWindow, ANewColourAndOffsetShowAtTheNextDrawing)
{
    storeDays("05.01.2009", "07.01.2009"); // 30 downloads on the first and the last of three days
    window.show();
    const QPoint onDemand(0, 1000 - 3 * 4 - 25);
    ASSERT_EQ(surfacePart(window.Image1, QRect(0, 0, 10, 1000)).pixelColor(onDemand), QColor(0, 128, 0));

    platform::ColorDialogRecorder dialogs;
    dialogs.queueAnswer(QColor(0, 0, 255));
    dialogs.queueAnswer(std::nullopt);
    Q_EMIT window.lbOnDemand->clicked();
    Q_EMIT window.lbSales->clicked();
    ASSERT_EQ(dialogs.requests(), (std::vector<QColor>{QColor(0, 128, 0), QColor(255, 0, 0)}))
        << "each dialog starts at the label's colour";
    EXPECT_EQ(chart::labelFontColor(window.lbOnDemand), QColor(0, 0, 255));
    EXPECT_EQ(chart::labelFontColor(window.lbSales), QColor(255, 0, 0)) << "cancelled";
    EXPECT_EQ(surfacePart(window.Image1, QRect(0, 0, 10, 1000)).pixelColor(onDemand), QColor(0, 128, 0))
        << "not redrawn yet";

    window.edOnDemand->setValue(100);
    window.Button1->click();
    const QImage redrawn = surfacePart(window.Image1, QRect(0, 0, 10, 1000));
    EXPECT_EQ(redrawn.pixelColor(0, 1000 - 3 * 4 - 100), QColor(0, 0, 255));
    EXPECT_NE(redrawn.pixelColor(onDemand), QColor(0, 128, 0));
    EXPECT_TRUE(errors.empty());
}

TEST_F(ShownGraphWindow, ADatabaseErrorShowsOnceAndLeavesTheWindowUsable)
{
    storeDays("05.01.2009", "07.03.2009");
    window.show();
    const int range = window.ScrollBox1->horizontalRange();
    db.execute("drop procedure GRAPH");

    window.Button1->click();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_TRUE(errors[0].contains(QLatin1String("GRAPH"))) << errors[0].toStdString();
    EXPECT_EQ(surfacePart(window.Image1, QRect(0, 500, 300, 400)).pixelColor(3 * 20 + 1, 300), QColor(Qt::white))
        << "the surface stays white";
    EXPECT_EQ(window.ScrollBox1->horizontalRange(), range);
    window.ScrollBox1->horizontalScrollBar()->setValue(100);
    QApplication::processEvents();
    EXPECT_EQ(errors.size(), 1u) << "painting does not ask the database again";

    window.hide();
    window.show();
    EXPECT_EQ(errors.size(), 2u) << "showing again draws again";
    EXPECT_TRUE(window.isVisible());
}

} // namespace
