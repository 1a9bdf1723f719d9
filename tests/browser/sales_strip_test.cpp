// The daily sales strip's pixels, painted on a QImage: columns, shading, texts, bars, guide lines,
// and windows of a surface wider than the 10,000 pixels that one image of the strip holds.

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "browser/sales_strip.h"

using browser::readStripDays;
using browser::SalesStrip;
using browser::StripDays;

namespace {

const QColor White(255, 255, 255);
const QColor MonthYellow(255, 255, 224);
const QColor WeekendYellow(255, 255, 193);
const QColor WeekendWhite(250, 250, 245);
const QColor LineGrey(243, 243, 243);
const QColor Red(255, 0, 0);

QImage paintWindow(SalesStrip& strip, int width, int height, qint64 left)
{
    QImage image(width, height, QImage::Format_RGB32);
    strip.paint(image, left);
    return image;
}

QImage paintStrip(const char* diagram, QDate firstSale, qint64 bestDay, int width, int height)
{
    SalesStrip strip;
    strip.showDays(readStripDays(QString::fromLatin1(diagram), firstSale), bestDay);
    return paintWindow(strip, width, height, 0);
}

// Text pixels: black, grey and red texts have little green; the strip's fills and lines have much.
bool isInk(const QColor& colour)
{
    return colour.green() < 150;
}

// The leftmost column of the area that holds a text pixel; -1 without one.
int inkLeft(const QImage& image, const QRect& area)
{
    for (int x = area.left(); x <= area.right(); ++x)
        for (int y = area.top(); y <= area.bottom(); ++y)
            if (isInk(image.pixelColor(x, y)))
                return x;
    return -1;
}

// The darkest text pixel of the area, as its green and red (black text: both low; red: red high).
QColor darkestInk(const QImage& image, const QRect& area)
{
    QColor darkest = White;
    for (int x = area.left(); x <= area.right(); ++x)
        for (int y = area.top(); y <= area.bottom(); ++y)
            if (image.pixelColor(x, y).green() < darkest.green())
                darkest = image.pixelColor(x, y);
    return darkest;
}

// The colour most pixels of the area have.
QColor dominantColour(const QImage& image, const QRect& area)
{
    std::map<QRgb, int> counts;
    for (int x = area.left(); x <= area.right(); ++x)
        for (int y = area.top(); y <= area.bottom(); ++y)
            ++counts[image.pixel(x, y)];
    return QColor(std::max_element(counts.begin(), counts.end(), [](const auto& a, const auto& b) {
                      return a.second < b.second;
                  })->first);
}

// How far right of its position a text's first pixel lies in this font (the glyph's side bearing).
int inkOffset(const char* family, int points, const QString& text)
{
    QImage image(200, 30, QImage::Format_RGB32);
    image.fill(White);
    QPainter painter(&image);
    platform::Canvas canvas(painter);
    QFont font{QString::fromLatin1(family)};
    font.setPointSize(points);
    canvas.setFont(font);
    canvas.textOut(0, 0, text);
    painter.end();
    return inkLeft(image, image.rect());
}

struct Pixel
{
    int x, y;
    QColor colour;
    const char* what;
};

void expectPixels(const QImage& image, const std::vector<Pixel>& pixels)
{
    for (const Pixel& p : pixels)
        EXPECT_EQ(image.pixelColor(p.x, p.y), p.colour) << p.what << " at " << p.x << "," << p.y;
}

} // namespace

TEST(StripDays, CountTheDaysAfterTheLeadingGapAndKeepTheSales)
{
    struct Case
    {
        const char* text;
        qint64 dayCount;
        std::vector<std::pair<qint64, qint64>> sales; // day, downloads
    };
    const std::vector<Case> cases = {
        {"#3,2,#2,4", 4, {{0, 2}, {3, 4}}},
        {"3#5,2", 2, {{0, 3}, {1, 2}}}, // the gap is token 1: a leading gap, dropped
        {"#x,1", 1, {{0, 1}}},          // the leading gap is never read
        {"", 0, {}},
        {"1,#-5,1", 2, {{0, 1}, {1, 1}}},
        // Gaps that would run past any scroll range stop where the range ends.
        {"1,#9000000000000000000,#9000000000000000000,7", (SalesStrip::RangeLimit - 30) / 8, {{0, 1}}},
    };
    for (const Case& c : cases) {
        const StripDays days = readStripDays(QString::fromLatin1(c.text), QDate(2009, 3, 6));
        EXPECT_EQ(days.dayCount, c.dayCount) << c.text;
        std::vector<std::pair<qint64, qint64>> sales;
        for (const StripDays::Sale& sale : days.sales)
            sales.emplace_back(sale.day, sale.downloads);
        EXPECT_EQ(sales, c.sales) << c.text;
    }
    EXPECT_EQ(readStripDays({}, QDate()).firstDate, QDate(1899, 12, 30));
    EXPECT_THROW(readStripDays(QStringLiteral("1,#x"), QDate(2009, 3, 6)), std::runtime_error);
    EXPECT_THROW(readStripDays(QStringLiteral("1,2x"), QDate(2009, 3, 6)), std::runtime_error);
}

// Four days from Friday 6 March 2009, the best day 4, on an image 78 pixels high: scale 53 / 4.
TEST(SalesStrip, DaysScaleToTheBestDayUnderThreeGuideLines)
{
    SalesStrip strip;
    strip.showDays(readStripDays(QStringLiteral("#3,2,#2,4"), QDate(2009, 3, 6)), 4);
    EXPECT_EQ(strip.scrollRange(), 62);
    EXPECT_EQ(strip.surfaceWidth(), 10000);
    const QImage image = paintWindow(strip, 700, 78, 0);
    expectPixels(image, {
                            {19, 45, White, "left margin"},
                            {39, 75, LineGrey, "column outline at the bottom (B - 3)"},
                            {23, 45, MonthYellow, "Friday of March"},
                            {31, 45, WeekendYellow, "Saturday of March"},
                            {39, 70, WeekendYellow, "Sunday without downloads: no bar"},
                            {51, 30, MonthYellow, "Monday of March, right of its bar"},
                            {52, 45, LineGrey, "right outline of the last column"},
                            {53, 45, White, "after the last column"},
                            {23, 51, MonthYellow, "above the bar of 2 downloads"},
                            {23, 52, LineGrey, "top of the bar of 2 downloads"},
                            {23, 53, Red, "bar of 2 downloads"},
                            {23, 76, LineGrey, "bar outline at B - 2"},
                            {21, 60, LineGrey, "bar's left outline"},
                            {47, 25, LineGrey, "top of the bar of 4 downloads, under the guide line"},
                            {47, 26, Red, "bar of 4 downloads"},
                            {100, 65, LineGrey, "guide line of 1"},
                            {100, 52, LineGrey, "guide line of 2"},
                            {100, 25, LineGrey, "guide line of 4"},
                            {699, 65, LineGrey, "guide line across the window"},
                            {100, 64, White, "between guide lines"},
                        });
    // The guide labels at (3, y - 5), in the font of the last column (Monday the 9th: an odd day's number).
    EXPECT_EQ(inkLeft(image, QRect(0, 60, 19, 12)), 3 + inkOffset("Times New Roman", 7, QStringLiteral("1")));
    EXPECT_EQ(inkLeft(image, QRect(0, 47, 19, 12)), 3 + inkOffset("Times New Roman", 7, QStringLiteral("2")));
}

TEST(SalesStrip, WeekendsAndAlternateMonthsAreShaded)
{
    struct Case
    {
        QDate day;
        QColor column;
        bool redLetter;
    };
    const std::vector<Case> cases = {
        {QDate(2009, 3, 7), WeekendYellow, true}, // Saturday, March
        {QDate(2009, 3, 9), MonthYellow, false},  // Monday, March
        {QDate(2009, 4, 4), WeekendWhite, true},  // Saturday, April
        {QDate(2009, 4, 5), WeekendWhite, true},  // Sunday, April
        {QDate(2009, 4, 6), White, false},        // Monday, April
    };
    // One strip for all, as the window keeps it: texts it has written before come back in the colours
    // of the column they are written on.
    SalesStrip strip;
    for (const Case& c : cases) {
        strip.showDays(readStripDays(QStringLiteral("1"), c.day), 1000);
        const QImage image = paintWindow(strip, 200, 78, 0);
        const QString name = c.day.toString(Qt::ISODate);
        EXPECT_EQ(image.pixelColor(24, 45), c.column) << qPrintable(name);
        EXPECT_EQ(dominantColour(image, QRect(21, 1, 6, 11)), c.column) << qPrintable(name) << ": under the letter";
        const QColor letter = darkestInk(image, QRect(21, 0, 7, 12));
        ASSERT_TRUE(isInk(letter)) << qPrintable(name) << ": no weekday letter";
        EXPECT_EQ(letter.red() > 200, c.redLetter) << qPrintable(name);
    }
}

TEST(SalesStrip, OddDaysAreNumberedAndANewMonthNamesTheOneThatEnded)
{
    EXPECT_EQ(browser::stripMonthLabel(QDate(2009, 3, 31)), QStringLiteral("Март.2009"));
    EXPECT_EQ(browser::stripMonthLabel(QDate(2010, 5, 1)), QStringLiteral("Май.2010"));

    // From Friday 20 March 2009: the 1st of April is column 12, at x = 116.
    const QImage image = paintStrip("1,1,1,1,1,1,1,1,1,1,1,1,1,1,1", QDate(2009, 3, 20), 1000, 300, 78);
    const auto numberInk = [&](int column) { return inkLeft(image, QRect(20 + 8 * column - 1, 13, 9, 11)); };
    EXPECT_EQ(numberInk(1), 28 - 1 + inkOffset("Times New Roman", 7, QStringLiteral("21")))
        << "21 one pixel left of its column";
    EXPECT_EQ(inkLeft(image, QRect(37, 13, 5, 11)), -1) << "22 is even";
    EXPECT_EQ(numberInk(14), 20 + 8 * 14 + 2 + inkOffset("Times New Roman", 7, QStringLiteral("3")))
        << "3 two pixels right of its column";
    EXPECT_EQ(inkLeft(image, QRect(30, 40, 270, 13)),
              116 - 75 + inkOffset("MS Sans Serif", 8, browser::stripMonthLabel(QDate(2009, 3, 31))))
        << "the label of March at (x - 75, 40)";

    // One day earlier the 1st of April is at x = 108: no room for the label.
    const QImage early = paintStrip("1,1,1,1,1,1,1,1,1,1,1,1,1,1,1", QDate(2009, 3, 21), 1000, 300, 78);
    EXPECT_EQ(inkLeft(early, QRect(30, 40, 270, 13)), -1);
}

TEST(SalesStrip, ABestDayOfZeroAndAStripTooLowForBars)
{
    const QImage zero = paintStrip("1,1", QDate(2009, 3, 9), 0, 200, 78);
    // Scale B - 25: the line of 1 at y = 25, the lines of 0 at y = B, outside; their labels at B - 5.
    EXPECT_EQ(zero.pixelColor(100, 25), LineGrey);
    EXPECT_EQ(zero.pixelColor(23, 40), Red) << "one download fills the column";
    EXPECT_EQ(zero.pixelColor(100, 77), White);
    EXPECT_GE(inkLeft(zero, QRect(0, 73, 18, 5)), 3) << "the label 0 at (3, B - 5)";

    for (const int height : {24, 10}) {
        const QImage low = paintStrip("5,9", QDate(2009, 3, 9), 9, 200, height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < 200; ++x)
                ASSERT_NE(low.pixelColor(x, y), Red) << "height " << height << " at " << x << "," << y;
    }
}

// 1,827 days from 1 January 2005 to 1 January 2010, more than the 1,247 columns of 10,000 pixels.
TEST(SalesStrip, EveryDayOfALongPeriodIsPaintedAndAnyWindowMatchesTheWholeSurface)
{
    const char* diagram = "#7,1,#1300,2,#524,3";
    SalesStrip strip;
    strip.showDays(readStripDays(QString::fromLatin1(diagram), QDate(2005, 1, 1)), 3);
    ASSERT_EQ(strip.scrollRange(), 1827 * 8 + 30);
    ASSERT_EQ(strip.surfaceWidth(), strip.scrollRange());
    const QImage whole = paintWindow(strip, int(strip.surfaceWidth()), 78, 0);
    EXPECT_EQ(whole.pixelColor(20 + 8 * 1826 + 3, 70), Red) << "the last day's bar";
    EXPECT_EQ(whole.pixelColor(20 + 8 * 1301 + 3, 70), Red) << "a bar beyond x = 10,000";
    EXPECT_EQ(whole.pixelColor(int(strip.surfaceWidth()) - 1, 61), LineGrey) << "the guide line of 1 to the end";

    for (const qint64 left : {qint64(0), qint64(5), qint64(9000), qint64(9950), strip.surfaceWidth() - 700}) {
        const QImage window = paintWindow(strip, 700, 78, left);
        EXPECT_TRUE(window == whole.copy(int(left), 0, 700, 78)) << "window at " << left;
    }

    // The guide labels take the font the last day column left, here the grey of a new month's label,
    // also when that column lies outside the window.
    const QImage window = paintWindow(strip, 700, 78, 0);
    EXPECT_EQ(darkestInk(window, QRect(3, 56, 12, 12)).green(), darkestInk(whole, QRect(3, 56, 12, 12)).green());
    EXPECT_GT(darkestInk(window, QRect(3, 56, 12, 12)).green(), 100) << "grey, not black";
}

TEST(SalesStrip, HugeGapsAndCountsStayWithinTheScrollRange)
{
    SalesStrip strip;
    strip.showDays(readStripDays(QStringLiteral("5000000000,1,#2000000000,4"), QDate(2009, 3, 9)), 4);
    EXPECT_LE(strip.scrollRange(), SalesStrip::RangeLimit);
    EXPECT_GT(strip.scrollRange(), SalesStrip::RangeLimit - 8);
    const QImage first = paintWindow(strip, 700, 78, 0);
    EXPECT_EQ(first.pixelColor(23, 27), Red) << "a day beyond the best day fills its column";
    const QImage last = paintWindow(strip, 700, 78, strip.surfaceWidth() - 700);
    EXPECT_EQ(last.pixelColor(350, 65), LineGrey) << "the guide line of 1";
    for (int x = 0; x < 700; ++x)
        ASSERT_NE(last.pixelColor(x, 70), Red) << "days of the gap have no bars, at " << x;
}
