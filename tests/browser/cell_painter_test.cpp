// The grid's cell painter on QImages: the mini chart pixel by pixel, the preview's size, and whole
// cells painted from the rows of a real picture list (previews on disk and in the database, DIAGRAM
// from the real procedure, kept results and problems reported once).

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <string>
#include <vector>

#include "browser/cell_painter.h"
#include "browser/diagram_text.h"
#include "browser/picture_fields.h"
#include "browser/picture_list_model.h"
#include "browser/picture_list_statement.h"
#include "platform/canvas.h"
#include "tests/support/temp_database.h"

namespace {

using namespace browser::cell_colours;

const QColor Untouched(90, 90, 90);

// The colours of one pixel column from top to bottom, run by run: "y1p16r2y1" is one chart-yellow
// pixel, 16 pink, 2 red, 1 yellow. y chart yellow, p pink, r red, m end marker, w white, g untouched.
std::string columnRuns(const QImage& image, int x, int top, int bottom)
{
    const auto letter = [](const QColor& c) {
        return c == ChartYellow ? 'y' : c == NoBatchPink ? 'p' : c == BarRed ? 'r' : c == EndMarkerYellow ? 'm'
             : c == White       ? 'w' : c == Untouched   ? 'g' : '?';
    };
    std::string runs;
    for (int y = top; y < bottom;) {
        const char colour = letter(image.pixelColor(x, y));
        int n = 0;
        for (; y < bottom && letter(image.pixelColor(x, y)) == colour; ++y)
            ++n;
        runs += colour + std::to_string(n);
    }
    return runs;
}

// The columns x = left..right (right inclusive) of rows top..bottom-1, equal neighbours written once
// with "*n"; the rows just above and below must stay untouched.
std::string chartColumns(const QImage& image, int left, int right, int top, int bottom)
{
    std::vector<std::pair<std::string, int>> groups;
    for (int x = left; x <= right; ++x) {
        std::string column = columnRuns(image, x, top, bottom);
        if (image.pixelColor(x, top - 1) != Untouched || image.pixelColor(x, bottom) != Untouched)
            column += "!";
        if (!groups.empty() && groups.back().first == column)
            ++groups.back().second;
        else
            groups.emplace_back(column, 1);
    }
    std::string text;
    for (const auto& [column, n] : groups)
        text += (text.empty() ? "" : " ") + column + (n > 1 ? "*" + std::to_string(n) : "");
    return text;
}

// The mini chart of a text in the cell L=100, T=50, Right=140, B=70, filled with chart yellow first,
// as columns 100..140.
std::string miniChart(const char* diagram, bool withoutFirstDays)
{
    QImage image(200, 100, QImage::Format_RGB32);
    image.fill(Untouched);
    QPainter painter(&image);
    const QRect cell(QPoint(100, 50), QPoint(139, 69));
    painter.fillRect(cell, ChartYellow);
    platform::CanvasTools tools;
    browser::drawMiniChart(painter, tools, cell, browser::splitDiagramText(QString::fromLatin1(diagram)),
                           withoutFirstDays);
    return chartColumns(image, 100, 140, 50, 70);
}

const std::string Pink = "y1p18y1", Red2 = "y1p16r2y1", Red4 = "y1p14r4y1",
                  Marker = "y2m17y1", Rest = "y1w18y1", Yellow = "y20", Outside = "g20";

std::string times(const std::string& column, int n)
{
    return column + "*" + std::to_string(n);
}

TEST(MiniChart, DayColumnsEndMarkerAndWhiteRestAtTheirOffsets)
{
    struct Case
    {
        const char* diagram;
        bool withoutFirstDays;
        std::string columns;
    };
    const std::vector<Case> cases = {
        // One download shows no red, two show two red pixels; the marker follows the last day.
        {"#0,1,2", true, Pink + " " + Red2 + " " + Marker + " " + times(Rest, 37) + " " + Outside},
        // The leading gap is token 1: dropped when ticked, drawn as yellow days when not.
        {"#12,3,1", true, Red4 + " " + Pink + " " + Marker + " " + times(Rest, 37) + " " + Outside},
        {"#12,3,1", false,
         times(Yellow, 12) + " " + Red4 + " " + Pink + " " + Marker + " " + times(Rest, 25) + " " + Outside},
        {"3#5,2", true, Red4 + " " + Red2 + " " + Marker + " " + times(Rest, 37) + " " + Outside},
        {"3#5,2", false,
         Red4 + " " + times(Yellow, 5) + " " + Red2 + " " + Marker + " " + times(Rest, 32) + " " + Outside},
        // A later gap is drawn whatever the check box says.
        {"2,#3,3", true, Red2 + " " + times(Yellow, 3) + " " + Red4 + " " + Marker + " " + times(Rest, 34) + " " + Outside},
        {"", true, Marker + " " + times(Rest, 39) + " " + Outside},
        // A bar taller than the cell is red up to the cell's top row and no further.
        {"30", true, "r19y1 " + Marker + " " + times(Rest, 38) + " " + Outside},
        // Days up to the offset W are read; what lies right of the cell is clipped and no white is drawn.
        {"#0,#37,3,1,2,2", true, times(Yellow, 37) + " " + Red4 + " " + Pink + " " + Red2 + " " + Outside},
        // Gaps of billions of days and values beyond 32 bits end the reading without overflow.
        {"#2000000000,1", false, times(Yellow, 40) + " " + Outside},
        {"3,#9223372036854775807,#9223372036854775807,1", true, Red4 + " " + times(Yellow, 39) + " " + Outside},
        {"5000000000", true, "r19y1 " + Marker + " " + times(Rest, 38) + " " + Outside},
    };
    for (const Case& c : cases)
        EXPECT_EQ(miniChart(c.diagram, c.withoutFirstDays), c.columns)
            << c.diagram << (c.withoutFirstDays ? " ticked" : " not ticked");
}

TEST(MiniChart, ATokenThatIsNoNumberIsAnError)
{
    EXPECT_THROW(miniChart("1,x", true), std::runtime_error);
}

TEST(PictureType, WordsOfTheFiveTypesAndNothingElse)
{
    const std::vector<std::pair<qint64, QString>> words = {
        {0, QStringLiteral("Фото")}, {1, QStringLiteral("Вектор")}, {2, QStringLiteral("Иллюстрация")},
        {3, QStringLiteral("Флэш")}, {4, QStringLiteral("Видео")},   {5, {}}, {7, {}}, {-1, {}}};
    for (const auto& [type, word] : words)
        EXPECT_EQ(browser::pictureTypeWord(type), word) << type;
}

TEST(PreviewBitmap, FitsTheCellsWidthAndItsSmallerSideInProportion)
{
    struct Case
    {
        QSize picture;
        QSize cell;
        QSize bitmap;
    };
    const std::vector<Case> cases = {
        {{200, 100}, {60, 40}, {60, 30}}, {{100, 200}, {60, 40}, {20, 40}}, {{120, 45}, {60, 40}, {60, 22}},
        {{120, 47}, {60, 40}, {60, 24}},  {{30, 20}, {60, 40}, {30, 20}},   {{50, 50}, {60, 40}, {40, 40}},
        {{100, 67}, {40, 60}, {40, 27}},  {{100, 67}, {0, 40}, {}},         {{0, 0}, {60, 40}, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(browser::previewBitmapSize(c.picture, c.cell.width(), c.cell.height()), c.bitmap)
            << c.picture.width() << "x" << c.picture.height() << " in " << c.cell.width() << "x" << c.cell.height();
}

QByteArray jpegOf(const QColor& colour, QSize size = {120, 80})
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 100);
    return bytes;
}

bool near(const QColor& a, const QColor& b)
{
    return std::abs(a.red() - b.red()) < 12 && std::abs(a.green() - b.green()) < 12 && std::abs(a.blue() - b.blue()) < 12;
}

// Pictures of a real database in the list, painted cell by cell onto an image: 5000000001 (an id
// beyond 32 bits) in no batch, accepted 12 days before its first sale, with 3 and 1 downloads on the
// last two stored days and a green preview in the database; 7 in a batch, a video, without sales.
class CellPainterTest : public test_support::DatabaseTest
{
protected:
    static constexpr qint64 BigId = 5'000'000'001;

    void SetUp() override
    {
        addPicture(BigId, "", Qt::green);
        addPicture(7, "55", Qt::blue);
        db.execute("update PICTURES set \"TYPE\" = 4 where ID = 7");
        db.execute("insert into SALES (ID, IDPICTURE, \"COUNT\", \"SUM\", SALE_DATE) values (gen_id(GEN_SALES_ID, 1), 5000000001, 3, 1, "
                   "'13.03.2010')");
        db.execute("insert into SALES (ID, IDPICTURE, \"COUNT\", \"SUM\", SALE_DATE) values (gen_id(GEN_SALES_ID, 1), 5000000001, 1, 1, "
                   "'14.03.2010')");
        model = std::make_unique<browser::PictureListModel>(dm().qrPictureInfo);
        painter = std::make_unique<browser::CellPainter>(dm(), *model, tokens);
        openList();
    }

    void addPicture(qint64 id, const QByteArray& batch, const QColor& preview)
    {
        const QString file = db.appDir() + QStringLiteral("/Temp/preview.jpg");
        QFile jpeg(file);
        ASSERT_TRUE(jpeg.open(QIODevice::WriteOnly));
        jpeg.write(jpegOf(preview));
        jpeg.close();
        data::Table& pictures = dm().tbPictures;
        pictures.open();
        pictures.insert();
        pictures.setFieldText("ID", QByteArray::number(id));
        pictures.setFieldText("TITLE", "P");
        pictures.setFieldText("ACCEPT_DATE", "01.03.2010");
        if (!batch.isEmpty())
            pictures.setFieldText("IDBATCH", batch);
        pictures.setFieldFromFile("IMAGE", file);
        pictures.post();
        dm().Transaction.commit();
    }

    void openList()
    {
        browser::PictureListFilter filter;
        filter.folderId = -1;
        filter.from = settings.from;
        filter.till = settings.till;
        filter.showZero = true;
        dm().qrPictureInfo.setText(browser::pictureListStatement(filter));
        dm().qrPictureInfo.open();
        painter->listReset();
    }

    int rowOf(qint64 id) const
    {
        for (int row = 0; row < model->rowCount(); ++row)
            if (model->valueAt(row, browser::ColIdPicture).asInt64() == id)
                return row;
        return -1;
    }

    // One cell of the picture's row, 60 x 40 at (10, 10) on a grey image, with a grey background.
    QImage paint(qint64 id, int column, bool selected = false)
    {
        QImage image(80, 60, QImage::Format_RGB32);
        image.fill(Untouched);
        QPainter on(&image);
        platform::CanvasTools tools;
        tools.brushColor = selected ? QColor(0, 0, 128) : QColor(Qt::lightGray);
        painter->picGridDrawDataCell(on, tools, Cell, rowOf(id), column, selected, settings);
        return image;
    }

    QString previewFile(qint64 id) const
    {
        return db.appDir() + QStringLiteral("/PREVIEW/") + QString::number(id) + QStringLiteral(".jpg");
    }

    const QRect Cell{10, 10, 60, 40};
    browser::CellSettings settings{QDate(2010, 3, 1), QDate(2010, 3, 14), true, 40};
    QStringList tokens;
    std::unique_ptr<browser::PictureListModel> model;
    std::unique_ptr<browser::CellPainter> painter;
};

TEST_F(CellPainterTest, RowsWithoutABatchArePinkAndEveryColumnKeepsToItsCell)
{
    const QImage title = paint(BigId, browser::ColTitle, true);
    EXPECT_EQ(title.pixelColor(10, 10), NoBatchPink) << "the pink replaces the selection colour";
    EXPECT_EQ(title.pixelColor(69, 49), NoBatchPink);
    EXPECT_EQ(title.pixelColor(70, 10), Untouched);
    EXPECT_EQ(title.pixelColor(10, 50), Untouched);
    EXPECT_EQ(paint(7, browser::ColTitle).pixelColor(10, 10), QColor(Qt::lightGray));

    // The type word is written from the cell's top left corner, on the cell's background.
    const QImage type = paint(7, browser::ColType);
    const int lineHeight = QFontMetrics(QFont()).height();
    int written = 0;
    for (int y = 10; y < 50; ++y)
        for (int x = 10; x < 70; ++x)
            if (type.pixelColor(x, y) != QColor(Qt::lightGray))
                written += y < 10 + lineHeight ? 1 : 1000;
    EXPECT_GT(written, 0);
    EXPECT_LT(written, 1000) << "text below the first line";

    // No sales: the mini-chart cell keeps the row's background; with sales it is a chart.
    EXPECT_EQ(paint(7, browser::ColDiagram).pixelColor(40, 30), QColor(Qt::lightGray));
}

TEST_F(CellPainterTest, TheMiniChartOfAPictureBeyond32BitsComesFromItsOwnDiagram)
{
    // DIAGRAM gives #12,3,1: ticked, the days at offsets 0 and 1 and the marker at 2.
    QImage chart = paint(BigId, browser::ColDiagram);
    EXPECT_EQ(chartColumns(chart, 10, 13, 10, 50), "y1p34r4y1 y1p38y1 y2m37y1 y1w38y1");
    EXPECT_EQ(tokens, QStringList({QString(), QStringLiteral("#12"), QStringLiteral("3"), QStringLiteral("1")}));
    settings.withoutFirstDays = false;
    chart = paint(BigId, browser::ColDiagram);
    EXPECT_EQ(chartColumns(chart, 21, 25, 10, 50), "y40 y1p34r4y1 y1p38y1 y2m37y1 y1w38y1");
}

TEST_F(CellPainterTest, APreviewIsWrittenWhenMissingDrawnFromItsFileAndKeptUntilTheListReopens)
{
    ASSERT_FALSE(QFile::exists(previewFile(BigId)));
    QImage cell = paint(BigId, browser::ColImage);
    ASSERT_TRUE(QFile::exists(previewFile(BigId)));
    // 120 x 80 in a 60 x 40 cell: 60 x 40, on white (the rows' pink does not show).
    EXPECT_TRUE(near(cell.pixelColor(40, 30), Qt::green));
    EXPECT_TRUE(near(cell.pixelColor(69, 49), Qt::green));

    // A file that differs from the database is drawn, once the kept preview has been dropped.
    QFile file(previewFile(BigId));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(jpegOf(Qt::red, {60, 20}));
    file.close();
    EXPECT_TRUE(near(paint(BigId, browser::ColImage).pixelColor(40, 15), Qt::green)) << "kept";
    settings.rowHeight = 41;
    cell = paint(BigId, browser::ColImage);
    EXPECT_TRUE(near(cell.pixelColor(40, 15), Qt::red));
    EXPECT_EQ(cell.pixelColor(40, 35), White) << "below the 60 x 20 preview";
    EXPECT_TRUE(painter->takeNewProblems().isEmpty());
}

TEST_F(CellPainterTest, ABrokenPreviewPaintsWhiteAndIsReportedOncePerListOpening)
{
    QFile file(previewFile(7));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a jpeg");
    file.close();
    const QImage cell = paint(7, browser::ColImage);
    EXPECT_EQ(cell.pixelColor(10, 10), White);
    EXPECT_EQ(cell.pixelColor(69, 49), White);
    const QStringList problems = painter->takeNewProblems();
    ASSERT_EQ(problems.size(), 1);
    EXPECT_TRUE(problems[0].contains(QStringLiteral("7.jpg"))) << problems[0].toStdString();

    paint(7, browser::ColImage);
    EXPECT_TRUE(painter->takeNewProblems().isEmpty());
    openList();
    paint(7, browser::ColImage);
    EXPECT_EQ(painter->takeNewProblems().size(), 1);
}

TEST_F(CellPainterTest, WithoutAPreviewFolderTheStoredPreviewIsStillDrawn)
{
    ASSERT_TRUE(QDir(db.appDir() + QStringLiteral("/PREVIEW")).removeRecursively());
    EXPECT_TRUE(near(paint(BigId, browser::ColImage).pixelColor(40, 30), Qt::green));
    EXPECT_TRUE(near(paint(7, browser::ColImage).pixelColor(40, 30), Qt::blue));
    const QStringList problems = painter->takeNewProblems();
    ASSERT_EQ(problems.size(), 1) << problems.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(problems[0].contains(QStringLiteral("PREVIEW"))) << problems[0].toStdString();
}

} // namespace
