// The picture grid painted through the cell painter, offscreen, on a real database: the painted
// colours reach the grid, and a broken preview is reported once per list opening, after the paint.

#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>

#include <algorithm>

#include "browser/cell_painter.h"
#include "browser/picture_cell_delegate.h"
#include "browser/picture_fields.h"
#include "browser/picture_list_model.h"
#include "platform/handler_guard.h"
#include "tests/browser/browser_harness.h"

namespace {

using namespace browser::cell_colours;

class PaintedGridTest : public browser_tests::BrowserHarness
{
protected:
    PaintedGridTest()
    {
        chWithoutFirstDays.setChecked(true);
        picGrid->setItemDelegate(
            new browser::PictureCellDelegate(dm(), picGrid, tokens, {edFrom, edTill, &chWithoutFirstDays}));
        QHeaderView* titles = picGrid->horizontalHeader();
        titles->moveSection(titles->visualIndex(browser::ColImage), 1);
        previous = platform::setErrorReporter([this](const QString& error) { errors << error; });
    }
    ~PaintedGridTest() override { platform::setErrorReporter(previous); }

    // Paints the grid as the screen would and lets the queued work run.
    QImage paintGrid()
    {
        const QImage shot = picGrid->viewport()->grab().toImage();
        QApplication::processEvents();
        return shot;
    }

    QColor cellColour(const QImage& shot, qint64 id, int column)
    {
        const QRect cell = picGrid->visualRect(picGrid->model()->index(rowOf(id), column));
        return shot.pixelColor(cell.topLeft() + QPoint(1, 1));
    }

    // Reports of the broken preview file (the preview beside the grid reports the stored bytes too).
    qsizetype cellReports() const
    {
        return std::count_if(errors.begin(), errors.end(),
                             [](const QString& e) { return e.contains(QStringLiteral("PREVIEW/11.jpg")); });
    }

    QCheckBox chWithoutFirstDays;
    QStringList tokens;
    QStringList errors;
    platform::ErrorReporter previous;
};

TEST_F(PaintedGridTest, ABrokenPreviewPaintsWhiteAndIsReportedOncePerListOpening)
{
    // 11 has no batch and stored bytes that are no JPEG; 12 is in a batch.
    seed({"insert into PICTURES (ID, TITLE, IMAGE) values (11, 'Broken', 'not a jpeg')",
          "insert into PICTURES (ID, TITLE, IDBATCH) values (12, 'Plain', 5)",
          "insert into SALES (ID, IDPICTURE, \"COUNT\", \"SUM\", SALE_DATE) values (gen_id(GEN_SALES_ID, 1), 11, 2, 1, '10.03.2010')",
          "insert into SALES (ID, IDPICTURE, \"COUNT\", \"SUM\", SALE_DATE) values (gen_id(GEN_SALES_ID, 1), 12, 1, 1, '10.03.2010')"});
    list->RefreshPictureList(-1);
    QImage shot = paintGrid();
    EXPECT_EQ(cellReports(), 1) << errors.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(cellColour(shot, 11, browser::ColImage), White);
    EXPECT_EQ(cellColour(shot, 11, browser::ColIdPicture), NoBatchPink);
    EXPECT_NE(cellColour(shot, 12, browser::ColIdPicture), NoBatchPink);

    picGrid->viewport()->repaint();
    paintGrid();
    EXPECT_EQ(cellReports(), 1) << "reported again while the same list is shown";

    list->RefreshPictureList(-1);
    paintGrid();
    EXPECT_EQ(cellReports(), 2) << "not reported for the reopened list";
}

} // namespace
