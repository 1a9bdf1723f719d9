#include "platform/password_dialog.h"

#include <QInputDialog>
#include <QLineEdit>

namespace platform {

std::optional<QString> PasswordRecorder::answer()
{
    if (next_ == answers_.size())
        return std::nullopt;
    return answers_[next_++];
}

std::optional<QString> askPassword(QWidget* parent, const PasswordRequest& request)
{
    if (PasswordRecorder* recorder = PasswordRecorder::active()) {
        recorder->record(request);
        return recorder->answer();
    }
    bool accepted = false;
    const QString password =
        QInputDialog::getText(parent, request.caption, request.text, QLineEdit::Password, {}, &accepted);
    if (!accepted)
        return std::nullopt;
    return password;
}

} // namespace platform
