#pragma once

#include <QMessageBox>
#include <QString>

#include <deque>

#include "platform/seam_recorder.h"

namespace platform {

// What a message box shows: icon, caption, text, buttons and the button that Enter presses.
struct MessageBoxRequest
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString caption;
    QString text;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

// A message box is at least this wide, and wide enough for its caption beside the window manager's
// title-bar buttons, so that a short text such as "Обновлено!" does not cut the caption to a few letters.
constexpr int MessageBoxMinimumWidth = 240;
constexpr int TitleBarButtonsWidth = 140;
void keepCaptionInView(QMessageBox& box);

// Shows a modal message box over the active window and answers the button the user pressed.
// While a MessageBoxRecorder lives, the box is recorded and answered by the recorder instead.
QMessageBox::StandardButton showMessageBox(const MessageBoxRequest& request);

// Test seam for message boxes: answers come from a queue (queueAnswer, in order), and when the queue
// is empty, from the box's default button (its first button when it has none).
class MessageBoxRecorder : public SeamRecorder<MessageBoxRecorder, MessageBoxRequest>
{
public:
    void queueAnswer(QMessageBox::StandardButton answer) { answers_.push_back(answer); }
    QMessageBox::StandardButton answer(const MessageBoxRequest& request);

private:
    std::deque<QMessageBox::StandardButton> answers_;
};

} // namespace platform
