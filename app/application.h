#pragma once

#include <QApplication>

namespace app {

// The program's QApplication. It makes Russian formats the default locale of every control, names the
// application with its title (applicationTitle), installs the error box as the reporter of every
// guarded event handler, and, as the last resort, reports an error that an event handler let through
// instead of letting it reach Qt's event loop.
class Application : public QApplication
{
public:
    Application(int& argc, char** argv);
    ~Application() override;

    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace app
