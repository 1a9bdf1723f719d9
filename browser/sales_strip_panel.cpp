#include "browser/sales_strip_panel.h"

#include <QDateTimeEdit>
#include <QScopeGuard>

#include "browser/diagram_text.h"
#include "browser/sales_strip_box.h"
#include "data/dm.h"

namespace browser {

SalesStripPanel::SalesStripPanel(data::Tdm& dm, SalesStripBox* box, QDateTimeEdit* edFrom, QDateTimeEdit* edTill)
    : QObject(box), dm_(dm), box_(box), edFrom_(edFrom), edTill_(edTill)
{
}

void SalesStripPanel::DrawSalesStrip()
{
    const data::Dataset& list = dm_.qrPictureInfo;
    if (!list.isOpen() || list.currentIndex() < 0)
        return;
    const qint64 pictureId = list.field("IDPICTURE").asInt64();
    if (pictureId == 0)
        return;
    const QDate firstSale = list.field("FIRST_SALE").asDate();
    const qint64 bestDay = list.field("MAX_DLS").asInt64();
    SalesStrip& strip = box_->strip();
    strip.showBlank();
    const auto showWhatWasRead = qScopeGuard([this] { box_->refresh(); });
    const std::optional<QString> diagram = readDiagramText(dm_.qrExecute, pictureId, edFrom_->date(), edTill_->date());
    if (!diagram)
        return;
    strip.showDays(readStripDays(*diagram, firstSale), bestDay);
    box_->setRange(strip.scrollRange());
}

void SalesStripPanel::ClearSalesStrip()
{
    box_->strip().showBlank();
    box_->setRange(0);
    box_->refresh();
}

} // namespace browser
