// The chart's drawing, pixel by pixel on a QImage: the series' points with their offsets, the day
// bands, the month labels, the first and the last day, and parts of a surface longer than 5000 pixels.

#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "chart/portfolio_chart.h"
#include "platform/canvas.h"
#include "platform/day_bands.h"
#include "tests/support/application_environment.h"

namespace {

using chart::ChartDay;
using chart::ChartLook;
using chart::SeriesPoints;

[[maybe_unused]] const auto* const environment =
    ::testing::AddGlobalTestEnvironment(new test_support::ApplicationEnvironment<QGuiApplication>);

const QColor Grey(128, 128, 128);
const QColor Red(255, 0, 0);
const QColor Green(0, 128, 0);
const QColor Black(0, 0, 0);
const QColor White(255, 255, 255);
const QColor OddWeekday(255, 255, 224);
const ChartLook DefaultLook{{Grey, 150}, {Red, 50}, {Green, 25}, {Black, 0}};
const int H = 1000;

QImage drawn(const std::vector<ChartDay>& days, const QRect& area, const ChartLook& look = DefaultLook)
{
    QImage image(area.size(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    platform::Canvas canvas(painter);
    chart::drawPortfolioChart(canvas, days, look, H, area);
    return image;
}

QImage drawnSurface(const std::vector<ChartDay>& days, const ChartLook& look = DefaultLook)
{
    return drawn(days, QRect(0, 0, chart::SurfaceWidth, H), look);
}

// Days from the first on, one a day, with values that vary from day to day.
std::vector<ChartDay> varyingDays(QDate first, int count)
{
    std::vector<ChartDay> days;
    for (int i = 0; i < count; ++i)
        days.push_back({first.addDays(i), (i * 37) % 400, (i * 13) % 90, (i * 7) % 20, i % 5});
    return days;
}

std::vector<ChartDay> quietDays(QDate first, int count)
{
    std::vector<ChartDay> days;
    for (int i = 0; i < count; ++i)
        days.push_back({first.addDays(i)});
    return days;
}

// The month label as the canvas writes it on its background, for comparing the written text.
QImage labelAlone(const QString& text, const QColor& background)
{
    QImage image(60, 20, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    platform::Canvas canvas(painter);
    canvas.setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    canvas.setFontColor(Grey);
    canvas.setBrushColor(background);
    canvas.textOut(0, 0, text);
    return image;
}

TEST(PortfolioChart, SeriesPointsMeasureUpFromTheBottomAndRiseByTheirOffsets)
{
    struct Case
    {
        const char* name;
        ChartDay day;
        ChartLook look;
        SeriesPoints expected; // downloads, enhanced, total, regular, on demand
    };
    const ChartLook lifted{{Grey, 300}, {Red, 0}, {Green, 100}, {Black, 7}};
    const std::vector<Case> cases = {
        {"a day without sales", {}, DefaultLook, {850, 1000, 950, 950, 975}},
        {"40 downloads, 12 regular", {QDate(), 40, 12, 0, 0}, DefaultLook, {810, 1000, 914, 914, 975}},
        {"every kind of earnings", {QDate(), 1, 10, 4, 2}, DefaultLook, {849, 994, 902, 920, 963}},
        {"other offsets", {QDate(), 1, 10, 4, 2}, lifted, {699, 987, 952, 970, 888}},
        {"sums far beyond the surface", {QDate(), 1'000'000'000, 1'000'000'000, 1'000'000'000, 1'000'000'000},
         DefaultLook, {-999'999'150, -1'000'000'000, -1'000'000'000, -1'000'000'000, -1'000'000'000}},
    };
    for (const Case& c : cases) {
        const SeriesPoints points = chart::seriesPoints(c.day, c.look, H);
        EXPECT_EQ(points.downloads, c.expected.downloads) << c.name;
        EXPECT_EQ(points.enhanced, c.expected.enhanced) << c.name;
        EXPECT_EQ(points.total, c.expected.total) << c.name;
        EXPECT_EQ(points.regular, c.expected.regular) << c.name;
        EXPECT_EQ(points.onDemand, c.expected.onDemand) << c.name;
    }
}

TEST(PortfolioChart, BandsMarkWeekendsAndAlternateMonthsBetweenTheTopAndBottomRows)
{
    // Sunday 4 January 2009 is day 3 of the rows; Sunday 1 February 2009 is day 31.
    const std::vector<ChartDay> days = quietDays(QDate(2009, 1, 1), 40);
    const QImage image = drawnSurface(days);
    struct Case
    {
        const char* name;
        int day;
        QColor band;
    };
    const std::vector<Case> cases = {
        {"Friday in January", 1, OddWeekday},
        {"Sunday in January", 3, QColor(255, 255, 193)},
        {"Sunday in February", 31, QColor(250, 250, 245)},
        {"Monday in February", 32, White},
    };
    for (const Case& c : cases) {
        for (int x = 3 * c.day; x < 3 * c.day + 3; ++x) {
            EXPECT_EQ(image.pixelColor(x, 1), c.band) << c.name << " at x " << x;
            EXPECT_EQ(image.pixelColor(x, H - 3), c.band) << c.name << " at x " << x;
            EXPECT_EQ(image.pixelColor(x, 0), White) << c.name << " above the band";
            EXPECT_EQ(image.pixelColor(x, H - 2), White) << c.name << " below the band";
        }
    }
    EXPECT_EQ(image.pixelColor(3 * 40, 500), White) << "right of the last day";
}

TEST(PortfolioChart, LinesJoinConsecutiveDaysFromTheFirstDayAtXZeroToJustBeforeTheLast)
{
    std::vector<ChartDay> days = quietDays(QDate(2009, 1, 5), 3);
    days[1].downloads = 30; // 850 -> 820 -> 850
    const QImage image = drawnSurface(days);
    EXPECT_EQ(image.pixelColor(0, 850), Grey) << "the first day's point starts the second day's line";
    EXPECT_EQ(image.pixelColor(1, 840), Grey);
    EXPECT_EQ(image.pixelColor(3, 820), Grey);
    EXPECT_EQ(image.pixelColor(4, 830), Grey);
    EXPECT_NE(image.pixelColor(6, 850), Grey) << "a line leaves out its end point: the last day's point";
    EXPECT_EQ(image.pixelColor(0, 950), Red) << "regular, drawn over the equal total";
    EXPECT_EQ(image.pixelColor(0, 975), Green);
    EXPECT_EQ(image.pixelColor(1, 998), White) << "enhanced lies on the bottom edge, outside the surface";
    // The first day's lines come from (-3, 0) and reach only column 0, which the window keeps one pixel
    // left of what it shows.
    EXPECT_EQ(image.pixelColor(0, 999), Black);
    for (int y = 1; y < 830; ++y)
        ASSERT_EQ(image.pixelColor(1, y), OddWeekday) << "y " << y;
}

TEST(PortfolioChart, AMonthChangeWritesTheEndedMonthOnItsWeekdayBandColour)
{
    struct Case
    {
        const char* name;
        QDate lastRowOfMonth;
        QDate firstRowOfNext;
        QString label;
        QColor background;
    };
    const std::vector<Case> cases = {
        {"31.03.2009 then 01.04.2009", QDate(2009, 3, 31), QDate(2009, 4, 1), QStringLiteral("03.09"), OddWeekday},
        {"turn of the year", QDate(2009, 12, 31), QDate(2010, 1, 1), QStringLiteral("12.09"), White},
        {"30.12.2009 then 02.01.2010", QDate(2009, 12, 30), QDate(2010, 1, 2), QStringLiteral("12.09"), White},
    };
    const int changeRow = 20;
    for (const Case& c : cases) {
        std::vector<ChartDay> days = quietDays(c.lastRowOfMonth.addDays(1 - changeRow), changeRow);
        for (const ChartDay& day : quietDays(c.firstRowOfNext, 10))
            days.push_back(day);
        const QImage image = drawnSurface(days);

        const QPoint at(3 * changeRow - 35, H - 15);
        EXPECT_EQ(image.pixelColor(at), c.background) << c.name;
        // The label covers what lies under it up to the change day's band; later bands cover the label.
        const QFontMetrics metrics(QFont(QStringLiteral("MS Sans Serif"), 8), &image);
        const QSize box(std::min(metrics.horizontalAdvance(c.label), 38), metrics.height());
        EXPECT_EQ(image.copy(QRect(at, box)), labelAlone(c.label, c.background).copy(QRect(QPoint(0, 0), box)))
            << c.name << ": the label's text";
    }
}

TEST(PortfolioChart, APartOfTheSurfaceHasThePixelsOfTheWholeDrawing)
{
    // 2500 days: the surface runs to 7550 pixels, beyond the 5000 that hold the first 1666 days.
    const std::vector<ChartDay> days = varyingDays(QDate(2005, 1, 1), 2500);
    const int width = chart::chartScrollRange(qsizetype(days.size()));
    ASSERT_EQ(width, 7550);
    const QImage whole = drawn(days, QRect(0, 0, width, H));
    const std::vector<QRect> parts = {
        QRect(0, 0, 903, 376),        QRect(1234, 624, 903, 376), QRect(4990, 500, 100, 500),
        QRect(6800, 300, 750, 700),   QRect(7499, 0, 51, H),      QRect(2, 985, 400, 15),
    };
    for (const QRect& part : parts)
        EXPECT_EQ(drawn(days, part), whole.copy(part))
            << "part at " << part.x() << "," << part.y() << " size " << part.width() << "x" << part.height();
    EXPECT_EQ(whole.pixelColor(3 * 2499 + 2, 2), platform::dayBandColor(days.back().date)) << "the last day";
    EXPECT_EQ(whole.pixelColor(3 * 2500, 2), White) << "right of the last day";
}

} // namespace
