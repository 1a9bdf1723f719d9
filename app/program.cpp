#include "app/program.h"

#include <QApplication>

#include "app/about_box.h"
#include "app/main_window.h"
#include "app/window_settings.h"
#include "chart/graph_window.h"
#include "collect/explorer_window.h"
#include "data/dm.h"
#include "platform/handler_guard.h"
#include "platform/termination_signals.h"

namespace app {

TfmAbout* fmAbout = nullptr;
QDialog* fmExplorer = nullptr;
QDialog* fmGraph = nullptr;

void showModally(QDialog* window)
{
    if (window)
        window->exec();
}

namespace {

// A modal window that stays open (a collection run ends first) is left to close by itself.
void closeLikeTheUser()
{
    while (QWidget* modal = QApplication::activeModalWidget()) {
        modal->close();
        if (modal->isVisible())
            break;
    }
    if (fmMain)
        fmMain->close();
}

// The window's section of the settings file follows each showing and close of the window.
WindowSettings* keepSettings(QWidget& window, const WindowSection& section)
{
    auto* settings = new WindowSettings(window, section, settingsFilePath(fmMain->AppDir));
    settings->followShowAndClose();
    return settings;
}

} // namespace

Program::Program(const QString& programDir)
{
    // Installed before the database engine starts, which keeps the dispositions it finds.
    terminationSignals_ = std::make_unique<platform::TerminationSignals>();
    QObject::connect(terminationSignals_.get(), &platform::TerminationSignals::received, terminationSignals_.get(),
                     [] { platform::guarded(closeLikeTheUser); });
    mainWindow_ = std::make_unique<TfmMain>(programDir);
    fmMain = mainWindow_.get();
    platform::guarded([this] { dataModule_ = std::make_unique<data::Tdm>(fmMain->AppDir); });
    if (!dataModule_)
        return;
    data::dm = dataModule_.get();
    fmMain->joinDataModule(*dataModule_);
    platform::guarded([this] { dataModule_->DataModuleCreate(); });
    explorer_ = std::make_unique<collect::TfmExplorer>();
    explorer_->refreshMainList = [] { fmMain->RefreshPictureList(fmMain->CurrentFolderId); };
    fmExplorer = explorer_.get();
    fmMain->updateFormSettings = keepSettings(*explorer_, updateFormSection());
    aboutBox_ = std::make_unique<TfmAbout>();
    fmAbout = aboutBox_.get();
    graphWindow_ = std::make_unique<chart::TfmGraph>();
    fmGraph = graphWindow_.get();
    keepSettings(*graphWindow_, graphFormSection());
}

Program::~Program()
{
    fmGraph = nullptr;
    graphWindow_.reset();
    fmAbout = nullptr;
    aboutBox_.reset();
    fmExplorer = nullptr;
    fmMain->updateFormSettings = nullptr;
    explorer_.reset();
    fmMain = nullptr;
    mainWindow_.reset();
    if (!dataModule_)
        return;
    // Closing the connection commits a running transaction; a failed commit is shown, not lost quietly.
    platform::guarded([this] { dataModule_->IBDatabase1.close(); });
    data::dm = nullptr;
    dataModule_.reset();
}

int Program::run()
{
    fmMain->show();
    return QApplication::exec();
}

} // namespace app
