#pragma once

#include <QHeaderView>
#include <QSet>

#include "browser/sort_marker.h"

namespace browser {

// The grid's title row. Titles switched to buttons report a click and then move their column's sort
// marker (none, descending, ascending, descending again; with Ctrl, ascending becomes none). At most
// one column carries a marker. Title tool tips are switched per column.
class SortMarkerHeader : public QHeaderView
{
    Q_OBJECT

public:
    explicit SortMarkerHeader(QWidget* parent = nullptr);

    // The column that carries the marker, -1 when none does.
    int markedSection() const { return markedSection_; }
    SortMarker marker(int logicalIndex) const;
    // Gives this column the marker and takes it from every other; None takes it from this one.
    void setMarker(int logicalIndex, SortMarker marker);

    void setTitleButton(int logicalIndex, bool isButton);
    bool isTitleButton(int logicalIndex) const { return titleButtons_.contains(logicalIndex); }
    void setTitleTip(int logicalIndex, bool on);

Q_SIGNALS:
    // A click on a title that is a button, raised before its marker moves.
    void titleButtonClicked(int logicalIndex);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const override;
    bool viewportEvent(QEvent* event) override;

private:
    void onSectionClicked(int logicalIndex);

    int markedSection_ = -1;
    SortMarker marker_ = SortMarker::None;
    QSet<int> titleButtons_;
    QSet<int> titleTips_;
    Qt::KeyboardModifiers clickModifiers_;
};

} // namespace browser
