#pragma once

#include <QUrl>

#include "platform/seam_recorder.h"

namespace platform {

// Opens an address with the system's handler for it (the web browser for web addresses), without
// waiting for it. When no handler can be started, a message box says so and gives the address. While
// an AddressRecorder lives, the address is recorded there instead.
void openAddress(const QUrl& address);

class AddressRecorder : public SeamRecorder<AddressRecorder, QUrl>
{
};

} // namespace platform
