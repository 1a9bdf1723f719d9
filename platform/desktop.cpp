#include "platform/desktop.h"

#include <QDesktopServices>

namespace platform {

void openAddress(const QUrl& address)
{
    if (AddressRecorder* recorder = AddressRecorder::active()) {
        recorder->record(address);
        return;
    }
    QDesktopServices::openUrl(address);
}

} // namespace platform
