#pragma once

#include <QColor>

#include <deque>
#include <optional>

#include "platform/seam_recorder.h"

class QWidget;

namespace platform {

// Shows the modal colour dialog preset with a colour; answers the colour the user confirmed, or
// nothing when the dialog was cancelled. While a ColorDialogRecorder lives, the request (the preset
// colour) is recorded and answered by the recorder instead.
std::optional<QColor> chooseColor(const QColor& initial, QWidget* parent);

// Test seam for the colour dialog: answers come from a queue (queueAnswer, in order); with the queue
// empty the dialog counts as cancelled.
class ColorDialogRecorder : public SeamRecorder<ColorDialogRecorder, QColor>
{
public:
    void queueAnswer(std::optional<QColor> answer) { answers_.push_back(answer); }
    std::optional<QColor> answer(const QColor& initial);

private:
    std::deque<std::optional<QColor>> answers_;
};

} // namespace platform
