#include "platform/desktop_notice.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

namespace platform {

namespace {

const int AnswerTimeoutMs = 5000;
const int ShownForServerDefault = -1;

} // namespace

bool showDesktopNotice(const QString& application, const QString& summary, const QString& body)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    call << application << 0u << QString() << summary << body << QStringList() << QVariantMap()
         << ShownForServerDefault;
    return bus.call(call, QDBus::Block, AnswerTimeoutMs).type() == QDBusMessage::ReplyMessage;
}

} // namespace platform
