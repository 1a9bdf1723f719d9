#include "browser/sort_marker_header.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QStyleOptionHeader>
#include <QToolTip>

namespace browser {

SortMarkerHeader::SortMarkerHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent)
{
    setSectionsClickable(true);
    setSectionsMovable(true);
    setHighlightSections(false);
    connect(this, &QHeaderView::sectionClicked, this, &SortMarkerHeader::onSectionClicked);
}

SortMarker SortMarkerHeader::marker(int logicalIndex) const
{
    return logicalIndex == markedSection_ ? marker_ : SortMarker::None;
}

void SortMarkerHeader::setMarker(int logicalIndex, SortMarker marker)
{
    if (marker == SortMarker::None && logicalIndex != markedSection_)
        return;
    markedSection_ = marker == SortMarker::None ? -1 : logicalIndex;
    marker_ = marker;
    viewport()->update();
}

void SortMarkerHeader::setTitleButton(int logicalIndex, bool isButton)
{
    if (isButton)
        titleButtons_.insert(logicalIndex);
    else
        titleButtons_.remove(logicalIndex);
}

void SortMarkerHeader::setTitleTip(int logicalIndex, bool on)
{
    if (on)
        titleTips_.insert(logicalIndex);
    else
        titleTips_.remove(logicalIndex);
}

void SortMarkerHeader::mouseReleaseEvent(QMouseEvent* event)
{
    clickModifiers_ = event->modifiers();
    QHeaderView::mouseReleaseEvent(event);
}

void SortMarkerHeader::onSectionClicked(int logicalIndex)
{
    if (!isTitleButton(logicalIndex))
        return;
    Q_EMIT titleButtonClicked(logicalIndex);
    setMarker(logicalIndex, nextSortMarker(marker(logicalIndex), clickModifiers_.testFlag(Qt::ControlModifier)));
}

void SortMarkerHeader::initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const
{
    QHeaderView::initStyleOptionForIndex(option, logicalIndex);
    switch (marker(logicalIndex)) {
    case SortMarker::None:
        option->sortIndicator = QStyleOptionHeader::None;
        break;
    case SortMarker::Descending:
        option->sortIndicator = QStyleOptionHeader::SortUp;
        break;
    case SortMarker::Ascending:
        option->sortIndicator = QStyleOptionHeader::SortDown;
        break;
    }
}

bool SortMarkerHeader::viewportEvent(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return QHeaderView::viewportEvent(event);
    auto* help = static_cast<QHelpEvent*>(event);
    const int section = logicalIndexAt(help->pos());
    if (section >= 0 && titleTips_.contains(section))
        QToolTip::showText(help->globalPos(), model()->headerData(section, orientation()).toString(), this);
    else
        QToolTip::hideText();
    return true;
}

} // namespace browser
