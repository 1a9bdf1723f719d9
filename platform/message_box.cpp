#include "platform/message_box.h"

#include <QApplication>
#include <QGridLayout>

#include <algorithm>

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

void keepCaptionInView(QMessageBox& box)
{
    const int width =
        std::max(MessageBoxMinimumWidth, box.fontMetrics().horizontalAdvance(box.windowTitle()) + TitleBarButtonsWidth);
    // QMessageBox sizes itself to its text; a spacer across its grid keeps it at least this wide.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Fixed, QSizePolicy::Minimum), grid->rowCount(), 0, 1,
                      grid->columnCount());
}

QMessageBox::StandardButton showMessageBox(const MessageBoxRequest& request)
{
    if (MessageBoxRecorder* recorder = MessageBoxRecorder::active())
        return recorder->answer(request);
    QMessageBox box(request.icon, request.caption, request.text, request.buttons,
                    QApplication::activeWindow());
    box.setDefaultButton(request.defaultButton);
    keepCaptionInView(box);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace platform
