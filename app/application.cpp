#include "app/application.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "app/error_box.h"
#include "platform/handler_guard.h"

namespace app {

Application::Application(int& argc, char** argv) : QApplication(argc, argv)
{
    // The program assumes Russian regional settings whatever the system's: dd.mm.yyyy dates, "," as
    // the decimal separator, Russian month and day names in the calendars.
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    // Qt's own dialogs and buttons (the file and colour dialogs, the message boxes' buttons, the
    // context menus of text boxes) in Russian too; without the translations they stay in English.
    auto* qtTexts = new QTranslator(this);
    if (qtTexts->load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(qtTexts);
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
