#include "platform/color_dialog.h"

#include <QColorDialog>

namespace platform {

std::optional<QColor> ColorDialogRecorder::answer(const QColor& initial)
{
    record(initial);
    if (answers_.empty())
        return std::nullopt;
    const std::optional<QColor> next = answers_.front();
    answers_.pop_front();
    return next;
}

std::optional<QColor> chooseColor(const QColor& initial, QWidget* parent)
{
    if (ColorDialogRecorder* recorder = ColorDialogRecorder::active())
        return recorder->answer(initial);
    QColorDialog dialog(initial, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.selectedColor();
}

} // namespace platform
