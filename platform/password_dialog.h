#pragma once

#include <QString>

#include <optional>

#include "platform/seam_recorder.h"

class QWidget;

namespace platform {

// What a password dialog asks: its caption and the text above the masked entry field.
struct PasswordRequest
{
    QString caption;
    QString text;
};

// Asks for a password in a modal dialog over the parent; none when the user cancels. While a
// PasswordRecorder lives, the request is recorded and answered by the recorder instead.
std::optional<QString> askPassword(QWidget* parent, const PasswordRequest& request);

// Test seam for password dialogs: answers the queued passwords in order, then cancels.
class PasswordRecorder : public SeamRecorder<PasswordRecorder, PasswordRequest>
{
public:
    void queueAnswer(QString password) { answers_.push_back(std::move(password)); }
    std::optional<QString> answer();

private:
    std::vector<QString> answers_;
    std::size_t next_ = 0;
};

} // namespace platform
