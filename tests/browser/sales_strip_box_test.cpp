// The daily sales strip under the picture list, wired as the main window wires it, on a real
// database: drawn from the list's after-scroll handler, cleared by an empty list, scrolled by dragging,
// following its height, and reporting a broken DIAGRAM text once.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>

#include "browser/sales_strip_box.h"
#include "browser/sales_strip_panel.h"
#include "platform/handler_guard.h"
#include "tests/browser/browser_harness.h"

namespace {

const QColor Red(255, 0, 0);

// Picture 201 sold 4 on 2 March 2010 and 2 on the 5th; picture 202 sold 1 on the 10th, the last day
// stored. The period is March 2010.
class SalesStripTest : public browser_tests::BrowserHarness
{
protected:
    SalesStripTest()
        : box(new browser::SalesStripBox(&window)), strip(new browser::SalesStripPanel(dm(), box, edFrom, edTill))
    {
        box->setGeometry(0, 420, 700, 82);
        box->show();
        platform::connectGuarded(list, &browser::PictureListPanel::salesStripNeeded, strip,
                                 &browser::SalesStripPanel::DrawSalesStrip);
        platform::connectGuarded(list, &browser::PictureListPanel::salesStripCleared, strip,
                                 &browser::SalesStripPanel::ClearSalesStrip);
        previousReporter = platform::setErrorReporter([this](const QString& message) { errors << message; });
        seed({"insert into PICTURES (ID, TITLE) values (201, 'Best')",
              "insert into PICTURES (ID, TITLE) values (202, 'Once')", sale(201, 4, "02.03.2010"),
              sale(201, 2, "05.03.2010"), sale(202, 1, "10.03.2010")});
        state.CurrentFolderId = -1;
    }
    ~SalesStripTest() override { platform::setErrorReporter(previousReporter); }

    static QByteArray sale(qint64 picture, int count, const char* date)
    {
        return "insert into SALES (ID, IDPICTURE, \"COUNT\", \"SUM\", SALE_DATE) values (gen_id(GEN_SALES_ID, 1), " +
               QByteArray::number(picture) + ", " + QByteArray::number(count) + ", 1, '" + date + "')";
    }

    // What the user sees of the strip.
    QImage shown() const { return box->Image1->grab().toImage(); }
    // Whether the column of this day (0 is the first) shows a bar at the bottom.
    bool barAt(const QImage& image, int day) const { return image.pixelColor(23 + 8 * day, image.height() - 4) == Red; }
    static bool anyRed(const QImage& image)
    {
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixelColor(x, y) == Red)
                    return true;
        return false;
    }

    browser::SalesStripBox* box;
    browser::SalesStripPanel* strip;
    QStringList errors;
    platform::ErrorReporter previousReporter;
};

TEST_F(SalesStripTest, FollowsTheListsCurrentRowAndEmptiesWithAnEmptyList)
{
    list->RefreshPictureList(-1);
    // 201: the leading gap to the 2nd dropped; the 2nd, two days without, the 5th, and the days up to
    // the last one stored, the 10th: 9 columns.
    EXPECT_EQ(box->range(), 9 * 8 + 30);
    QImage image = shown();
    EXPECT_EQ(image.size(), box->viewport()->size());
    EXPECT_TRUE(barAt(image, 0));
    EXPECT_FALSE(barAt(image, 1));
    EXPECT_TRUE(barAt(image, 3));

    picGrid->moveToRow(1);
    ASSERT_EQ(state.CurrentPictureId, 202);
    EXPECT_EQ(box->range(), 1 * 8 + 30);
    image = shown();
    EXPECT_TRUE(barAt(image, 0));
    EXPECT_FALSE(barAt(image, 3)) << "nothing of 201 stays";

    edKeywords->setText(QStringLiteral("no such keyword"));
    list->RefreshPictureList(-1);
    EXPECT_EQ(box->range(), 0);
    EXPECT_FALSE(anyRed(shown()));
    EXPECT_TRUE(errors.isEmpty()) << qPrintable(errors.join(QLatin1Char('\n')));
}

TEST_F(SalesStripTest, ABrokenDiagramTextIsReportedOnceAndLeavesTheStripWhite)
{
    list->RefreshPictureList(-1);
    ASSERT_TRUE(anyRed(shown()));
    seed({"update SALES_BY_MONTH set SALE_DAYS = '4,x' where IDPICTURE = 201"});
    list->RefreshPictureList(-1);
    for (int i = 0; i < 5; ++i) {
        box->Image1->repaint();
        box->resize(700, 90 + i);
        QApplication::processEvents();
    }
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(QLatin1String("'x'"))) << qPrintable(errors[0]);
    EXPECT_FALSE(anyRed(shown()));
}

TEST_F(SalesStripTest, DraggingMovesTheContentWithThePointerWithinTheRange)
{
    seed({sale(201, 1, "01.03.2014")});
    setPeriod(QDate(2010, 1, 1), QDate(2014, 12, 31));
    list->RefreshPictureList(-1);
    QScrollBar* bar = box->horizontalScrollBar();
    ASSERT_GT(box->range(), 10000) << "more days than one image of 10,000 pixels holds";
    const QImage before = shown();

    const auto send = [&](QEvent::Type type, int x, Qt::MouseButtons buttons) {
        const QPointF at(x, 40);
        QMouseEvent event(type, at, box->Image1->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(box->Image1, &event);
    };
    send(QEvent::MouseButtonPress, 300, Qt::LeftButton);
    send(QEvent::MouseMove, 290, Qt::LeftButton);
    EXPECT_EQ(bar->value(), 10);
    send(QEvent::MouseMove, 280, Qt::LeftButton);
    EXPECT_EQ(bar->value(), 20) << "each move is measured where the pointer is, not on the moved content";
    send(QEvent::MouseMove, 200, Qt::NoButton);
    EXPECT_EQ(bar->value(), 20);
    EXPECT_TRUE(shown().copy(0, 0, 600, before.height()) == before.copy(20, 0, 600, before.height()));

    send(QEvent::MouseMove, 280 - 1'000'000, Qt::LeftButton);
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_EQ(box->Image1->pos(), QPoint(0, 0));
    // At the far end: the last day, the 1st of March 2014, with its bar.
    const int lastColumn = box->range() - 18 - bar->value();
    EXPECT_EQ(shown().pixelColor(lastColumn + 3, shown().height() - 4), Red);
}

TEST_F(SalesStripTest, FollowsItsHeightAndOffersOnlyADisabledSave)
{
    list->RefreshPictureList(-1);
    box->resize(700, 200);
    const QImage image = shown();
    EXPECT_EQ(image.height(), box->viewport()->height());
    // The best day's bar reaches y = 25 at any height.
    EXPECT_EQ(image.pixelColor(23, 26), Red);
    EXPECT_NE(image.pixelColor(23, 24), Red);
    EXPECT_GE(box->minimumSizeHint().height(), browser::SalesStripBox::MinimumImageHeight);

    const QList<QAction*> items = box->PopupMenu2->actions();
    ASSERT_EQ(items.size(), 1);
    EXPECT_EQ(items[0]->text(), QStringLiteral("Сохранить в jpg"));
    EXPECT_FALSE(items[0]->isEnabled());
}

} // namespace
