// The picture list model over the grid's query on a real database: rows fetched as the view asks,
// following open and close (a commit), the fields' display forms, finding a row, and the preview
// decoder.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>

#include <stdexcept>

#include "browser/jpeg_image.h"
#include "browser/picture_fields.h"
#include "browser/picture_list_model.h"
#include "browser/picture_list_statement.h"
#include "platform/win1251.h"
#include "tests/support/temp_database.h"

namespace {

using browser::PictureListModel;

// 500 pictures 1001..1500, each sold once on 15.03.2010: picture 1000 + i has i downloads and earned
// i / 4; the even ones carry the keyword "sunset".
class PictureListModelTest : public test_support::DatabaseTest
{
protected:
    void SetUp() override
    {
        db.execute("execute block as declare i integer = 1; begin while (i <= 500) do begin "
                   "insert into PICTURES (ID, TITLE, KEYWORDS, ACCEPT_DATE, IDBATCH) values (1000 + :i, "
                   "'Picture ' || :i, iif(mod(:i, 2) = 0, 'sunset, sea', 'forest'), '01.02.2010', 77); "
                   "insert into SALES (ID, IDPICTURE, \"COUNT\", \"SUM\", ON_DEMAND, ENHANCED, SALE_DATE) "
                   "values (gen_id(GEN_SALES_ID, 1), 1000 + :i, :i, 0.25 * :i, 0, 0, '15.03.2010'); "
                   "i = i + 1; end end");
    }

    void openList(const QString& keywords = {})
    {
        browser::PictureListFilter filter;
        filter.folderId = -1;
        filter.from = QDate(2010, 3, 1);
        filter.till = QDate(2010, 3, 31);
        filter.keywords = keywords;
        dm().qrPictureInfo.setText(browser::pictureListStatement(filter));
        dm().qrPictureInfo.open();
    }
};

TEST_F(PictureListModelTest, FetchesAScreenAtOpeningAndMoreOnlyWhenAsked)
{
    PictureListModel model(dm().qrPictureInfo);
    model.setPrefetchRows(30);
    openList();
    EXPECT_EQ(model.rowCount(), 30);
    EXPECT_EQ(dm().qrPictureInfo.recordCount(), 30);
    ASSERT_TRUE(model.canFetchMore(QModelIndex()));

    int fetched = 0;
    QObject::connect(&model, &PictureListModel::rowsFetched, [&] { ++fetched; });
    model.fetchMore(QModelIndex());
    EXPECT_GT(model.rowCount(), 30);
    EXPECT_LT(model.rowCount(), 500);
    EXPECT_EQ(fetched, 1);

    model.fetchAll();
    EXPECT_EQ(model.rowCount(), 500);
    EXPECT_FALSE(model.canFetchMore(QModelIndex()));
    EXPECT_EQ(dm().qrPictureInfo.currentIndex(), 0);
}

TEST_F(PictureListModelTest, ACommitEmptiesTheModelAndAReopenFillsIt)
{
    PictureListModel model(dm().qrPictureInfo);
    openList();
    ASSERT_GT(model.rowCount(), 0);
    int resets = 0;
    QObject::connect(&model, &QAbstractItemModel::modelReset, [&] { ++resets; });
    dm().Transaction.commit();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_FALSE(model.canFetchMore(QModelIndex()));
    EXPECT_EQ(resets, 1);
    openList();
    EXPECT_GT(model.rowCount(), 0);
}

TEST_F(PictureListModelTest, ShowsEachFieldInItsForm)
{
    PictureListModel model(dm().qrPictureInfo);
    model.setLocale(QLocale(QLocale::Russian, QLocale::Russia));
    openList();
    // Most downloaded first: picture 1500 with 500 downloads and 125.00 earned.
    EXPECT_EQ(model.displayText(0, browser::ColIdPicture), QStringLiteral("1500"));
    EXPECT_EQ(model.displayText(0, browser::ColTitle), QStringLiteral("Picture 500"));
    EXPECT_EQ(model.displayText(0, browser::ColCountSales), QStringLiteral("500"));
    EXPECT_EQ(model.displayText(0, browser::ColSumSales), QStringLiteral("125,00"));
    EXPECT_EQ(model.displayText(0, browser::ColSumOnDemand), QStringLiteral("0,00"));
    EXPECT_EQ(model.displayText(0, browser::ColAcceptDate), QStringLiteral("01.02.2010"));
    EXPECT_EQ(model.displayText(0, browser::ColFirstSale), QStringLiteral("15.03.2010"));
    EXPECT_EQ(model.displayText(0, browser::ColDiagram), QString());
    EXPECT_EQ(model.displayText(0, browser::ColImage), QString());
    EXPECT_EQ(model.valueAt(0, browser::ColIdBatch).asInt64(), 77);
    EXPECT_EQ(model.headerData(browser::ColDiagram, Qt::Horizontal).toString(),
              QStringLiteral("Статистика по дням"));
    EXPECT_EQ(model.data(model.index(0, browser::ColSumSales), Qt::TextAlignmentRole).value<Qt::Alignment>(),
              Qt::AlignRight | Qt::AlignVCenter);
}

TEST_F(PictureListModelTest, TitlesAndKeywordsAreDecodedFromTheDatabaseEncodingAndTheirReferences)
{
    db.execute("update PICTURES set TITLE = '" +
               platform::toWin1251(QStringLiteral("Закат над &#1084;орем")) +
               "', KEYWORDS = 'salt &amp; pepper, &quot;x&quot;' where ID = 1500");
    PictureListModel model(dm().qrPictureInfo);
    openList();
    EXPECT_EQ(model.displayText(0, browser::ColTitle), QStringLiteral("Закат над морем"));
    EXPECT_EQ(model.data(model.index(0, browser::ColKeywords), Qt::ToolTipRole).toString(),
              QStringLiteral("salt & pepper, \"x\""));
}

TEST_F(PictureListModelTest, TheRowIndicatorFollowsTheCurrentRow)
{
    PictureListModel model(dm().qrPictureInfo);
    model.setPrefetchRows(10);
    openList();
    EXPECT_FALSE(model.headerData(0, Qt::Vertical).toString().isEmpty());
    dm().qrPictureInfo.moveTo(40);
    model.followCurrentRow();
    EXPECT_EQ(model.rowCount(), 41);
    EXPECT_TRUE(model.headerData(0, Qt::Vertical).toString().isEmpty());
    EXPECT_FALSE(model.headerData(40, Qt::Vertical).toString().isEmpty());
}

TEST_F(PictureListModelTest, FindFetchesFurtherRowsUntilItFindsTheText)
{
    PictureListModel model(dm().qrPictureInfo);
    model.setPrefetchRows(10);
    openList();
    EXPECT_EQ(model.findRow(browser::ColTitle, QStringLiteral("picture 70"), 0), 430);
    EXPECT_GE(model.rowCount(), 431);
    EXPECT_EQ(model.findRow(browser::ColTitle, QStringLiteral("no such title"), 0), -1);
    EXPECT_EQ(model.rowCount(), 500);
}

QByteArray jpegOf(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 95);
    return bytes;
}

TEST_F(PictureListModelTest, ThePreviewBytesComeFromTheRowsBlob)
{
    QImage red(40, 30, QImage::Format_RGB32);
    red.fill(QColor(255, 0, 0));
    const QString file = db.appDir() + QStringLiteral("/PREVIEW/3000.jpg");
    ASSERT_TRUE(red.save(file, "JPG"));
    data::Table& pictures = dm().tbPictures;
    pictures.open();
    pictures.insert();
    pictures.setFieldText("ID", "3000");
    pictures.setFieldFromFile("IMAGE", file);
    pictures.post();
    dm().Transaction.commit();
    db.execute(
        "insert into SALES (ID, IDPICTURE, \"COUNT\", SALE_DATE) values (gen_id(GEN_SALES_ID, 1), 3000, "
        "1000, '10.03.2010')");

    PictureListModel model(dm().qrPictureInfo);
    openList();
    ASSERT_EQ(model.displayText(0, browser::ColIdPicture), QStringLiteral("3000"));
    EXPECT_EQ(browser::decodeJpeg(model.imageAt(0)).size(), QSize(40, 30));
    EXPECT_TRUE(model.imageAt(1).isEmpty());
}

TEST(JpegDecoder, DecodesSizeAndColours)
{
    QImage source(40, 30, QImage::Format_RGB32);
    source.fill(QColor(255, 0, 0));
    const QImage decoded = browser::decodeJpeg(jpegOf(source));
    ASSERT_EQ(decoded.size(), QSize(40, 30));
    const QColor pixel = decoded.pixelColor(20, 15);
    EXPECT_GT(pixel.red(), 240);
    EXPECT_LT(pixel.green(), 15);
    EXPECT_LT(pixel.blue(), 15);
}

TEST(JpegDecoder, GreyscaleBecomesRgb)
{
    QImage source(8, 8, QImage::Format_Grayscale8);
    source.fill(200);
    const QImage decoded = browser::decodeJpeg(jpegOf(source));
    EXPECT_NEAR(decoded.pixelColor(4, 4).green(), 200, 3);
}

TEST(JpegDecoder, BytesThatAreNoJpegAreAClearError)
{
    EXPECT_TRUE(browser::decodeJpeg(QByteArray()).isNull());
    try {
        browser::decodeJpeg("<html>not a picture</html>");
        FAIL() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("JPEG"), std::string::npos) << error.what();
    }
}

} // namespace
