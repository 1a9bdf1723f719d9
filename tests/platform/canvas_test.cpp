#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cmath>
#include <string>
#include <vector>

#include "platform/canvas.h"
#include "tests/support/application_environment.h"

using platform::Canvas;
using platform::CanvasTools;
using platform::nearestInt;

namespace {

[[maybe_unused]] const auto* const environment =
    ::testing::AddGlobalTestEnvironment(new test_support::ApplicationEnvironment<QGuiApplication>);

const QColor White(255, 255, 255);
const QColor Pen(255, 0, 0);
const QColor Brush(0, 0, 255);

QImage whiteImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(White);
    return image;
}

// The pixels of the image in the pen colour, as "x,y" texts in row order.
std::vector<std::string> penPixels(const QImage& image)
{
    std::vector<std::string> pixels;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == Pen)
                pixels.push_back(std::to_string(x) + "," + std::to_string(y));
    return pixels;
}

std::vector<std::string> lineOnTenByTen(QPoint from, QPoint to)
{
    QImage image = whiteImage(10, 10);
    QPainter painter(&image);
    Canvas canvas(painter);
    canvas.setPenColor(Pen);
    canvas.moveTo(from.x(), from.y());
    canvas.lineTo(to.x(), to.y());
    painter.end();
    return penPixels(image);
}

} // namespace

TEST(Canvas, LinesIncludeTheirStartAndExcludeTheirEnd)
{
    struct Case
    {
        const char* name;
        QPoint from, to;
        std::vector<std::string> pixels;
    };
    const std::vector<Case> cases = {
        {"upwards", {2, 8}, {2, 5}, {"2,6", "2,7", "2,8"}},
        {"downwards", {2, 5}, {2, 8}, {"2,5", "2,6", "2,7"}},
        {"leftwards", {4, 1}, {1, 1}, {"2,1", "3,1", "4,1"}},
        {"a point to itself draws nothing", {3, 3}, {3, 3}, {}},
        {"slanted", {0, 0}, {4, 2}, {"0,0", "1,1", "2,1", "3,2"}},
        {"clipped to the image", {8, 1}, {12, 1}, {"8,1", "9,1"}},
        {"far outside, across the image",
         {5, -2'000'000'000},
         {5, 2'000'000'000},
         {"5,0", "5,1", "5,2", "5,3", "5,4", "5,5", "5,6", "5,7", "5,8", "5,9"}},
        {"far outside, beside the image", {-5, -2'000'000'000}, {-5, 2'000'000'000}, {}},
        {"steep and long, through the image",
         {-1'000'000'000, 1'000'000'001},
         {1'000'000'000, -999'999'999},
         {"1,0", "0,1"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(lineOnTenByTen(c.from, c.to), c.pixels) << c.name;
}

TEST(Canvas, RectanglesFillsAndTextsCoverOnlyTheirPixels)
{
    QImage image = whiteImage(12, 30);
    QPainter painter(&image);
    Canvas canvas(painter);
    canvas.setPenColor(Pen);
    canvas.setBrushColor(Brush);
    canvas.rectangle(1, 1, 5, 4);
    canvas.fillRect(7, 1, 9, 3);
    canvas.textOut(3, 10, QStringLiteral("88"));
    painter.end();

    // Outline over x 1..4, y 1..3; brush inside; nothing at x 5 or y 4.
    EXPECT_EQ(image.pixelColor(1, 1), Pen);
    EXPECT_EQ(image.pixelColor(4, 3), Pen);
    EXPECT_EQ(image.pixelColor(2, 2), Brush);
    EXPECT_EQ(image.pixelColor(3, 2), Brush);
    EXPECT_EQ(image.pixelColor(5, 2), White);
    EXPECT_EQ(image.pixelColor(2, 4), White);
    // A fill has no outline.
    EXPECT_EQ(image.pixelColor(7, 1), Brush);
    EXPECT_EQ(image.pixelColor(8, 2), Brush);
    EXPECT_EQ(image.pixelColor(9, 2), White);
    EXPECT_EQ(image.pixelColor(7, 3), White);
    // A text starts at its top left corner on the brush colour.
    EXPECT_EQ(image.pixelColor(3, 10), Brush);
    EXPECT_EQ(image.pixelColor(2, 10), White);
    EXPECT_EQ(image.pixelColor(3, 9), White);
}

TEST(Canvas, ToolsStayAsLastSetAndTheClipHolds)
{
    QImage image = whiteImage(10, 10);
    QPainter painter(&image);
    CanvasTools tools;
    Canvas(painter, tools).setPenColor(Pen);
    painter.setClipRect(QRect(0, 0, 10, 5));
    Canvas later(painter, tools);
    later.moveTo(1, 9);
    later.lineTo(1, 0);
    painter.end();
    EXPECT_EQ(penPixels(image), std::vector<std::string>({"1,1", "1,2", "1,3", "1,4"}));
    EXPECT_EQ(tools.penPosition, QPoint(1, 0));
}

TEST(Canvas, NearestIntegerGoesToTheEvenNeighbourOnAHalf)
{
    const std::vector<std::pair<double, int>> cases = {{0.5, 0},
                                                       {1.5, 2},
                                                       {2.5, 2},
                                                       {-2.5, -2},
                                                       {2.51, 3},
                                                       {12.5, 12},
                                                       {13.5, 14},
                                                       {-0.4, 0},
                                                       {1e300, 1'000'000'000},
                                                       {-1e300, -1'000'000'000},
                                                       {std::nan(""), 0}};
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(nearestInt(value), expected) << value;
}
