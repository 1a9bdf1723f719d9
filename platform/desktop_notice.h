#pragma once

#include <QString>

namespace platform {

// Shows a notice through the freedesktop notification service on the session bus. Without a session
// bus, or with no service that answers within a few seconds, nothing is shown and nothing is said:
// answers whether the service took the notice.
bool showDesktopNotice(const QString& application, const QString& summary, const QString& body);

} // namespace platform
