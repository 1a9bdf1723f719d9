#include "platform/message_box.h"

#include <QApplication>

namespace platform {

namespace {

QMessageBox::StandardButton firstButton(QMessageBox::StandardButtons buttons)
{
    for (int bit = QMessageBox::FirstButton; bit <= QMessageBox::LastButton; bit <<= 1)
        if (buttons.testFlag(static_cast<QMessageBox::StandardButton>(bit)))
            return static_cast<QMessageBox::StandardButton>(bit);
    return QMessageBox::NoButton;
}

} // namespace

QMessageBox::StandardButton MessageBoxRecorder::answer(const MessageBoxRequest& request)
{
    record(request);
    if (!answers_.empty()) {
        const QMessageBox::StandardButton next = answers_.front();
        answers_.pop_front();
        return next;
    }
    return request.defaultButton != QMessageBox::NoButton ? request.defaultButton
                                                          : firstButton(request.buttons);
}

QMessageBox::StandardButton showMessageBox(const MessageBoxRequest& request)
{
    if (MessageBoxRecorder* recorder = MessageBoxRecorder::active())
        return recorder->answer(request);
    QMessageBox box(request.icon, request.caption, request.text, request.buttons,
                    QApplication::activeWindow());
    box.setDefaultButton(request.defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace platform
