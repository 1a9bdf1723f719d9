#include "app/application.h"

#include "app/error_box.h"
#include "platform/handler_guard.h"

namespace app {

Application::Application(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(applicationTitle(applicationFilePath()));
    platform::setErrorReporter(showErrorBox);
}

Application::~Application()
{
    platform::setErrorReporter({});
}

bool Application::notify(QObject* receiver, QEvent* event)
{
    bool handled = false;
    platform::guarded([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}

} // namespace app
