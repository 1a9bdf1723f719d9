#include "app/error_box.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "platform/message_box.h"

namespace app {

QString errorBoxText(const QString& message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

QString applicationTitle(const QString& programFilePath)
{
    const QString name = QFileInfo(programFilePath).fileName().section(QLatin1Char('.'), 0, 0);
    return name.left(1).toUpper() + name.mid(1).toLower();
}

void showErrorBox(const QString& message)
{
    platform::showMessageBox({QMessageBox::Critical, QCoreApplication::applicationName(),
                              errorBoxText(message), QMessageBox::Ok, QMessageBox::Ok});
}

} // namespace app
