#include "platform/desktop.h"

#include <QDesktopServices>

#include "platform/message_box.h"

namespace platform {

void openAddress(const QUrl& address)
{
    if (AddressRecorder* recorder = AddressRecorder::active()) {
        recorder->record(address);
        return;
    }
    if (!QDesktopServices::openUrl(address))
        showMessageBox({QMessageBox::Critical, QStringLiteral(u"Ошибка"),
                        QStringLiteral(u"Не удалось запустить браузер. Откройте этот адрес в браузере сами:\n") +
                            address.toString(),
                        QMessageBox::Ok});
}

} // namespace platform
