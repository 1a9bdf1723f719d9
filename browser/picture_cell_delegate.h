#pragma once

#include <QStyledItemDelegate>

class QCheckBox;
class QDateTimeEdit;

#include <memory>

#include "browser/cell_painter.h"

namespace browser {

class PictureGrid;

// The controls whose values the painted cells follow.
struct CellControls
{
    QDateTimeEdit* edFrom = nullptr;
    QDateTimeEdit* edTill = nullptr;
    QCheckBox* chWithoutFirstDays = nullptr;
};

// Paints every data cell of the picture grid through the cell painter (picGridDrawDataCell), and
// reports the problems that painting met once the paint is over, in one error box, never from inside
// a paint (a modal box makes the grid paint again).
class PictureCellDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    PictureCellDelegate(data::Tdm& dm, PictureGrid* grid, QStringList& diagramTokens, const CellControls& controls);
    ~PictureCellDelegate() override;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    CellPainter& cellPainter() const { return *painter_; }

private:
    void reportProblems() const;
    void readControls();

    PictureGrid* grid_;
    std::unique_ptr<CellPainter> painter_;
    CellControls controls_;
    // The controls' values, read when they change (reading a date picker's date costs a time zone
    // conversion, too much for every cell).
    CellSettings settings_;
    mutable bool reportPending_ = false;
};

} // namespace browser
