#pragma once

#include <QString>

#include "platform/seam_recorder.h"

class QWidget;

namespace platform {

// What a save dialog asks: its caption, the suggested file (directory and name) and the file types.
struct SaveFileRequest
{
    QString caption;
    QString suggestedPath;
    QString filter;
};

// Asks for the file to save to with a modal save dialog over the parent, which confirms replacing an
// existing file; empty when the user cancels. While a SaveFileRecorder lives, the request is recorded
// and answered by the recorder instead.
QString askSaveFileName(QWidget* parent, const SaveFileRequest& request);

// Test seam for save dialogs: answers the path set last, or cancels (an empty path) when none is set.
class SaveFileRecorder : public SeamRecorder<SaveFileRecorder, SaveFileRequest>
{
public:
    void setAnswer(QString path) { answer_ = std::move(path); }
    const QString& answer() const { return answer_; }

private:
    QString answer_;
};

} // namespace platform
