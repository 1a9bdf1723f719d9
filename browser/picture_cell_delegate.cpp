#include "browser/picture_cell_delegate.h"

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QPainter>

#include <stdexcept>

#include "browser/picture_grid.h"
#include "browser/picture_list_model.h"
#include "platform/canvas.h"
#include "platform/handler_guard.h"

namespace browser {

namespace {

// The error box shows at most this many problems of one paint.
constexpr int ProblemsShown = 10;

} // namespace

PictureCellDelegate::PictureCellDelegate(data::Tdm& dm, PictureGrid* grid, QStringList& diagramTokens,
                                         const CellControls& controls)
    : QStyledItemDelegate(grid), grid_(grid),
      painter_(std::make_unique<CellPainter>(dm, *grid->pictureModel(), diagramTokens)), controls_(controls)
{
    connect(grid->pictureModel(), &QAbstractItemModel::modelReset, this, [this] { painter_->listReset(); });
    connect(controls_.edFrom, &QDateTimeEdit::dateTimeChanged, this, &PictureCellDelegate::readControls);
    connect(controls_.edTill, &QDateTimeEdit::dateTimeChanged, this, &PictureCellDelegate::readControls);
    connect(controls_.chWithoutFirstDays, &QCheckBox::toggled, this, &PictureCellDelegate::readControls);
    readControls();
}

void PictureCellDelegate::readControls()
{
    settings_.from = controls_.edFrom->date();
    settings_.till = controls_.edTill->date();
    settings_.withoutFirstDays = controls_.chWithoutFirstDays->isChecked();
}

PictureCellDelegate::~PictureCellDelegate() = default;

void PictureCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    // The grid's current row is drawn selected too, as are the rows of its selection.
    const bool selected =
        (option.state & QStyle::State_Selected) || index.row() == grid_->currentIndex().row();
    const QPalette::ColorGroup group = QPalette::Active;
    platform::CanvasTools tools;
    tools.brushColor = option.palette.color(group, selected ? QPalette::Highlight : QPalette::Base);
    tools.fontColor = option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text);
    tools.font = option.font;
    CellSettings settings = settings_;
    settings.rowHeight = grid_->rowHeightSetting();
    painter_->picGridDrawDataCell(*painter, tools, option.rect, index.row(), index.column(), selected, settings);
    if (!reportPending_ && painter_->hasNewProblems()) {
        reportPending_ = true;
        QMetaObject::invokeMethod(grid_, [this] { reportProblems(); }, Qt::QueuedConnection);
    }
}

void PictureCellDelegate::reportProblems() const
{
    reportPending_ = false;
    QStringList problems = painter_->takeNewProblems();
    if (problems.isEmpty())
        return;
    if (problems.size() > ProblemsShown) {
        const qsizetype more = problems.size() - ProblemsShown;
        problems.resize(ProblemsShown);
        problems.append(QStringLiteral("... (+%1)").arg(more));
    }
    platform::reportError(std::make_exception_ptr(std::runtime_error(problems.join(QLatin1Char('\n')).toStdString())));
}

} // namespace browser
