#include "platform/file_dialog.h"

#include <QFileDialog>

namespace platform {

QString askSaveFileName(QWidget* parent, const SaveFileRequest& request)
{
    if (SaveFileRecorder* recorder = SaveFileRecorder::active()) {
        recorder->record(request);
        return recorder->answer();
    }
    return QFileDialog::getSaveFileName(parent, request.caption, request.suggestedPath, request.filter);
}

} // namespace platform
