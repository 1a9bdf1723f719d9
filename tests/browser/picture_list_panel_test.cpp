// The picture list of the main window on a real database: what RefreshPictureList shows, the count
// label, the current row, sorting by a title through the timer, presets, the page commands and the
// preview.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QCursor>
#include <QGuiApplication>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>
#include <optional>

#include "browser/picture_list_model.h"
#include "browser/sort_marker_header.h"
#include "data/dm.h"
#include "platform/desktop.h"
#include "platform/handler_guard.h"
#include "platform/message_box.h"
#include "tests/browser/browser_harness.h"

namespace {

using browser::SortMarker;
using browser_tests::clickTitle;

// Folder 5 holds pictures 101-103 (sold in March 2010); 104 lies in folder 7 and sold in March too;
// 105 sold only in February; 106 and 107 never sold.
class PictureListPanelTest : public browser_tests::BrowserHarness
{
protected:
    void SetUp() override
    {
        seed({"insert into FOLDERS (ID, IDPARENT, TITLE) values (5, 1, 'Five')",
              "insert into FOLDERS (ID, IDPARENT, TITLE) values (7, 1, 'Seven')",
              "insert into PICTURES (ID, IDFOLDER, TITLE, KEYWORDS) values (101, 5, 'One', 'sea, o''clock')",
              "insert into PICTURES (ID, IDFOLDER, TITLE, KEYWORDS) values (102, 5, 'Two', 'sea')",
              "insert into PICTURES (ID, IDFOLDER, TITLE, KEYWORDS) values (103, 5, 'Three', 'forest')",
              "insert into PICTURES (ID, IDFOLDER, TITLE) values (104, 7, 'Four')",
              "insert into PICTURES (ID, TITLE) values (105, 'Five')",
              "insert into PICTURES (ID, TITLE) values (106, 'Six')",
              "insert into PICTURES (ID, TITLE) values (107, 'Seven')",
              sale(101, 3, "02.03.2010"), sale(102, 9, "03.03.2010"), sale(103, 1, "04.03.2010"),
              sale(104, 2, "05.03.2010"), sale(105, 4, "10.02.2010")});
        state.CurrentFolderId = -1;
    }

    static QByteArray sale(qint64 picture, int count, const char* date)
    {
        return "insert into SALES (ID, IDPICTURE, \"COUNT\", \"SUM\", SALE_DATE) values (gen_id(GEN_SALES_ID, 1), " +
               QByteArray::number(picture) + ", " + QByteArray::number(count) + ", " +
               QByteArray::number(count * 0.25) + ", '" + date + "')";
    }

    QByteArray listText() { return dm().qrPictureInfo.text(); }
};

TEST_F(PictureListPanelTest, ListsTheFoldersSoldPicturesWithTheWholeDatabasesCount)
{
    list->RefreshPictureList(5);
    EXPECT_EQ(listedIds(), (QList<qint64>{102, 101, 103}));
    // 101-104 sold in March, whatever folder is shown.
    EXPECT_EQ(lbCount->text(), QStringLiteral("4"));
    EXPECT_EQ(state.CurrentPictureId, 102);
}

TEST_F(PictureListPanelTest, ZeroSalesAddsTheUnsoldPicturesAndTheirCount)
{
    chShowZero->setChecked(true);
    list->RefreshPictureList(-1);
    EXPECT_EQ(listedIds().size(), 7);
    EXPECT_EQ(lbCount->text(), QStringLiteral("4 + 2"));
    EXPECT_EQ(state.ZeroSalesCount, 2);
}

TEST_F(PictureListPanelTest, KeywordsWithAnApostropheFindTheirPictures)
{
    edKeywords->setText(QStringLiteral("o'clock"));
    list->RefreshPictureList(-1);
    EXPECT_EQ(listedIds(), (QList<qint64>{101}));
    edKeywords->setText(QStringLiteral(",, sea, -o'clock,"));
    list->RefreshPictureList(-1);
    EXPECT_EQ(listedIds(), (QList<qint64>{102}));
}

// Accepted on the period's first and last day (101, 104, 106), before it (102), after it (107), or
// with no acceptance date (103, 105).
TEST_F(PictureListPanelTest, OnlyNewListsThePicturesAcceptedInThePeriod)
{
    seed({"update PICTURES set ACCEPT_DATE = '01.03.2010' where ID in (101, 106)",
          "update PICTURES set ACCEPT_DATE = '31.03.2010' where ID = 104",
          "update PICTURES set ACCEPT_DATE = '28.02.2010' where ID = 102",
          "update PICTURES set ACCEPT_DATE = '01.04.2010' where ID = 107"});
    const struct
    {
        bool onlyNew, showZero;
        QList<qint64> listed;
    } cases[] = {{false, false, {102, 101, 104, 103}}, {true, false, {101, 104}}, {true, true, {101, 104, 106}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "chOnlyNew " << c.onlyNew << ", chShowZero " << c.showZero);
        chOnlyNew->setChecked(c.onlyNew);
        chShowZero->setChecked(c.showZero);
        list->Button2Click();
        EXPECT_EQ(listedIds(), c.listed);
    }
}

TEST_F(PictureListPanelTest, AnEmptyResultForgetsTheCurrentPicture)
{
    int cleared = 0;
    QObject::connect(list, &browser::PictureListPanel::salesStripCleared, [&] { ++cleared; });
    list->RefreshPictureList(-1);
    ASSERT_NE(state.CurrentPictureId, 0);
    edKeywords->setText(QStringLiteral("no such keyword"));
    list->RefreshPictureList(-1);
    EXPECT_EQ(lbCount->text(), QStringLiteral("0(?)"));
    EXPECT_EQ(state.CurrentPictureId, 0);
    EXPECT_EQ(cleared, 1);
}

TEST_F(PictureListPanelTest, AnInvertedPeriodIsNotRefused)
{
    setPeriod(QDate(2010, 3, 31), QDate(2010, 3, 1));
    list->RefreshPictureList(-1);
    EXPECT_TRUE(dm().qrPictureInfo.isOpen());
    EXPECT_EQ(lbCount->text(), QStringLiteral("0"));
}

TEST_F(PictureListPanelTest, TheWaitCursorShowsWhileTheListIsReadAndGoesEvenWhenReadingFails)
{
    std::optional<Qt::CursorShape> whileOpening;
    const std::function<void()> followList = dm().qrPictureInfo.afterOpen;
    dm().qrPictureInfo.afterOpen = [&] {
        if (const QCursor* cursor = QGuiApplication::overrideCursor())
            whileOpening = cursor->shape();
        if (followList)
            followList();
    };
    list->RefreshPictureList(-1);
    EXPECT_EQ(whileOpening, Qt::WaitCursor);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    dm().IBDatabase1.close();
    dm().IBDatabase1.setDatabaseName("/nonexistent/PHOTOLEDGER.GDB");
    EXPECT_THROW(list->RefreshPictureList(-1), data::DbError);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    dm().IBDatabase1.setDatabaseName(db.databasePath().toStdString());
}

TEST_F(PictureListPanelTest, TheGridsRowMovesTheListAndAsksForTheStrip)
{
    int stripDrawings = 0;
    QObject::connect(list, &browser::PictureListPanel::salesStripNeeded, [&] { ++stripDrawings; });
    list->RefreshPictureList(5);
    EXPECT_EQ(stripDrawings, 1);
    picGrid->moveToRow(2);
    EXPECT_EQ(dm().qrPictureInfo.currentIndex(), 2);
    EXPECT_EQ(state.CurrentPictureId, 103);
    EXPECT_EQ(stripDrawings, 2);

    data::Starting = 1;
    picGrid->moveToRow(0);
    EXPECT_EQ(state.CurrentPictureId, 102);
    EXPECT_EQ(stripDrawings, 2);
}

TEST_F(PictureListPanelTest, TitleClicksWithinTheDelaySortOnceByTheLastMarker)
{
    list->RefreshPictureList(-1);
    const QByteArray before = listText();
    clickTitle(picGrid, browser::ColSumSales);
    clickTitle(picGrid, browser::ColSumSales);
    EXPECT_TRUE(list->Timer1->isActive());
    EXPECT_EQ(picGrid->titles()->marker(browser::ColSumSales), SortMarker::Ascending);
    EXPECT_EQ(listText(), before);

    list->Timer1Timer();
    EXPECT_FALSE(list->Timer1->isActive());
    EXPECT_TRUE(listText().endsWith(" order by SUM_SALES")) << listText().constData();
    EXPECT_EQ(picGrid->titles()->marker(browser::ColSumSales), SortMarker::Ascending);

    clickTitle(picGrid, browser::ColSumSales, Qt::ControlModifier);
    list->Timer1Timer();
    EXPECT_EQ(picGrid->titles()->markedSection(), -1);
    EXPECT_TRUE(listText().endsWith(" order by COUNT_SALES desc")) << listText().constData();
}

TEST_F(PictureListPanelTest, MarkerOnTheTitleClickedLastWins)
{
    list->Button2Click();
    clickTitle(picGrid, browser::ColSumSales);
    clickTitle(picGrid, browser::ColIdPicture);
    list->Timer1Timer();
    EXPECT_EQ(picGrid->titles()->marker(browser::ColSumSales), SortMarker::None);
    EXPECT_TRUE(listText().endsWith(" order by IDPICTURE desc")) << listText().constData();
    EXPECT_EQ(listedIds(), (QList<qint64>{104, 103, 102, 101}));
}

TEST_F(PictureListPanelTest, PaintedColumnsCannotBeSorted)
{
    list->RefreshPictureList(-1);
    clickTitle(picGrid, browser::ColImage);
    clickTitle(picGrid, browser::ColDiagram);
    EXPECT_FALSE(list->Timer1->isActive());
    EXPECT_EQ(picGrid->titles()->markedSection(), -1);
}

TEST_F(PictureListPanelTest, APresetSetsThePickersAndLeavesTheList)
{
    list->RefreshPictureList(-1);
    const QByteArray before = listText();
    cbPeriod->setCurrentIndex(3);
    list->cbPeriodChange(QDateTime(QDate(2010, 3, 14), QTime(10, 0)));
    EXPECT_EQ(edFrom->date(), QDate(2010, 3, 1));
    EXPECT_EQ(edTill->date(), QDate(2010, 3, 14));
    EXPECT_EQ(listText(), before);
    cbPeriod->setCurrentIndex(-1);
    list->cbPeriodChange(QDateTime(QDate(2011, 1, 1), QTime(10, 0)));
    EXPECT_EQ(edTill->date(), QDate(2010, 3, 14));
}

TEST_F(PictureListPanelTest, ClearEmptiesTheKeywordsAndKeepsTheList)
{
    edKeywords->setText(QStringLiteral("sea"));
    list->RefreshPictureList(-1);
    list->Label5Click();
    EXPECT_TRUE(edKeywords->text().isEmpty());
    EXPECT_EQ(listedIds().size(), 2);
}

class PageCommandsTest : public PictureListPanelTest
{
protected:
    void SetUp() override
    {
        PictureListPanelTest::SetUp();
        QFile conf(db.appDir() + QStringLiteral("/conf.ini"));
        ASSERT_TRUE(conf.open(QIODevice::WriteOnly));
        conf.write("[Agency]\r\nContributorSite=http://127.0.0.1:8080\r\nPublicSite=http://127.0.0.1:8081/\r\n");
    }
};

TEST_F(PageCommandsTest, OpenTheCurrentPicturesPages)
{
    platform::AddressRecorder addresses;
    state.CurrentPictureId = 1234567;
    list->IE3Click();
    list->IE1Click();
    list->IE2Click();
    ASSERT_EQ(addresses.requests().size(), 3u);
    EXPECT_EQ(addresses.requests()[0].toString(), QStringLiteral("http://127.0.0.1:8081/pic.mhtml?id=1234567"));
    EXPECT_EQ(addresses.requests()[1].toString(),
              QStringLiteral("http://127.0.0.1:8080/edit.mhtml?id=1234567&type=photos"));
    EXPECT_EQ(addresses.requests()[2].toString(),
              QStringLiteral("http://127.0.0.1:8080/delete.mhtml?id=1234567&type=photos"));
}

TEST_F(PageCommandsTest, UseTheWholeIdOfALargePicture)
{
    seed({"insert into PICTURES (ID, TITLE) values (3000000000, 'Large')",
          sale(3000000000LL, 50, "06.03.2010")});
    platform::AddressRecorder addresses;
    list->RefreshPictureList(-1);
    list->IE3Click();
    ASSERT_EQ(addresses.requests().size(), 1u);
    EXPECT_EQ(addresses.requests()[0].toString(), QStringLiteral("http://127.0.0.1:8081/pic.mhtml?id=3000000000"));
}

TEST_F(PageCommandsTest, DoNothingBeforeAnyRowWasCurrent)
{
    platform::AddressRecorder addresses;
    list->IE3Click();
    list->IE2Click();
    EXPECT_TRUE(addresses.requests().empty());
}

// Without a web browser to start (nothing on the search path, none named in the environment), a message
// box gives the address instead.
TEST_F(PageCommandsTest, SayWhenNoBrowserCanBeStarted)
{
    QTemporaryDir emptyPath;
    const QByteArray path = qgetenv("PATH"), browser = qgetenv("BROWSER"), defaultBrowser = qgetenv("DEFAULT_BROWSER");
    qputenv("PATH", QFile::encodeName(emptyPath.path()));
    qunsetenv("BROWSER");
    qunsetenv("DEFAULT_BROWSER");
    platform::MessageBoxRecorder boxes;
    state.CurrentPictureId = 1234567;
    list->IE3Click();
    qputenv("PATH", path);
    if (!browser.isNull())
        qputenv("BROWSER", browser);
    if (!defaultBrowser.isNull())
        qputenv("DEFAULT_BROWSER", defaultBrowser);

    ASSERT_EQ(boxes.requests().size(), 1u);
    EXPECT_EQ(boxes.requests()[0].caption, QStringLiteral(u"Ошибка"));
    EXPECT_EQ(boxes.requests()[0].text,
              QStringLiteral(u"Не удалось запустить браузер. Откройте этот адрес в браузере сами:\n"
                             u"http://127.0.0.1:8081/pic.mhtml?id=1234567"));
}

// 200 pictures with the keyword "sunset", sold in March 2010, and seven pictures without sales.
class KeywordCountTest : public browser_tests::BrowserHarness
{
protected:
    void SetUp() override
    {
        seed({"execute block as declare i integer = 1; begin while (i <= 200) do begin "
              "insert into PICTURES (ID, TITLE, KEYWORDS) values (1000 + :i, 'P' || :i, 'Sunset, sky'); "
              "insert into SALES (ID, IDPICTURE, \"COUNT\", SALE_DATE) values (gen_id(GEN_SALES_ID, 1), 1000 + :i, "
              ":i, '15.03.2010'); i = i + 1; end "
              "i = 1; while (i <= 7) do begin insert into PICTURES (ID) values (2000 + :i); i = i + 1; end end"});
        edKeywords->setText(QStringLiteral("sunset"));
        chShowZero->setChecked(true);
    }
};

TEST_F(KeywordCountTest, CountGrowsWithTheRowsReadAndIsCompleteAtTheEnd)
{
    list->RefreshPictureList(-1);
    const int opened = dm().qrPictureInfo.recordCount();
    ASSERT_LT(opened, 200);
    EXPECT_EQ(lbCount->text(), QString::number(opened) + QStringLiteral("(?) + 7"));

    // Rows come 200 at a time: the next read reaches the end of the result, yet the current row stays at
    // the top, so more rows may still follow as far as the label says.
    list->model()->fetchMore(QModelIndex());
    ASSERT_EQ(dm().qrPictureInfo.recordCount(), 200);
    EXPECT_EQ(lbCount->text(), QStringLiteral("200(?) + 7"));
    picGrid->moveToRow(100);
    EXPECT_EQ(lbCount->text(), QStringLiteral("200(?) + 7"));

    picGrid->setFocus();
    browser_tests::pressKey(picGrid, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(dm().qrPictureInfo.currentIndex(), 199);
    EXPECT_EQ(lbCount->text(), QStringLiteral("200 + 7"));
    picGrid->moveToRow(0);
    EXPECT_EQ(lbCount->text(), QStringLiteral("200 + 7"));
}

QByteArray jpegOf(QColor colour)
{
    QImage image(60, 40, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG");
    return bytes;
}

class PreviewTest : public browser_tests::BrowserHarness
{
protected:
    void addPicture(const char* id, int downloads, const QByteArray& imageBytes)
    {
        const QString file = db.appDir() + QStringLiteral("/Temp/preview.bin");
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(imageBytes);
        out.close();
        data::Table& pictures = dm().tbPictures;
        pictures.open();
        pictures.insert();
        pictures.setFieldText("ID", id);
        if (!imageBytes.isEmpty())
            pictures.setFieldFromFile("IMAGE", file);
        pictures.post();
        dm().Transaction.commit();
        seed({"insert into SALES (ID, IDPICTURE, \"COUNT\", SALE_DATE) values (gen_id(GEN_SALES_ID, 1), " +
              QByteArray(id) + ", " + QByteArray::number(downloads) + ", '10.03.2010')"});
    }
};

TEST_F(PreviewTest, ShowsTheCurrentRowsImageAndNothingWithoutOne)
{
    addPicture("1", 30, jpegOf(Qt::red));
    addPicture("2", 20, {});
    list->RefreshPictureList(-1);
    ASSERT_FALSE(EDBImage1->pixmap().isNull());
    EXPECT_EQ(EDBImage1->pixmap().size(), QSize(60, 40));
    picGrid->moveToRow(1);
    EXPECT_TRUE(EDBImage1->pixmap().isNull());
    picGrid->moveToRow(0);
    ASSERT_FALSE(EDBImage1->pixmap().isNull());
    // A commit closes the list; the preview shows nothing until it opens again.
    dm().Transaction.commit();
    EXPECT_TRUE(EDBImage1->pixmap().isNull());
}

TEST_F(PreviewTest, AnUnreadableImageIsReportedAndTheRowStillBecomesCurrent)
{
    addPicture("1", 30, jpegOf(Qt::red));
    addPicture("2", 20, "not a picture");
    QStringList errors;
    platform::ErrorReporter previous = platform::setErrorReporter([&](const QString& e) { errors << e; });
    list->RefreshPictureList(-1);
    picGrid->moveToRow(1);
    platform::setErrorReporter(previous);
    EXPECT_EQ(state.CurrentPictureId, 2);
    EXPECT_TRUE(EDBImage1->pixmap().isNull());
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(QStringLiteral("JPEG"))) << errors[0].toStdString();
}

} // namespace
