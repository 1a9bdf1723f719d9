#include "app/program.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <utility>

#include "app/about_box.h"
#include "app/main_window.h"
#include "app/server_login.h"
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

const int ModalCloserIntervalMs = 20;

// The Program that lives, for an end through exit() instead of the return from run().
Program* livingProgram = nullptr;

// A modal window that stays open (a collection run ends first) closes by itself.
void closeModalWindows()
{
    while (QWidget* modal = QApplication::activeModalWidget()) {
        modal->close();
        if (modal->isVisible())
            break;
    }
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
    QObject::connect(terminationSignals_.get(), &platform::TerminationSignals::received,
                     terminationSignals_.get(), [this] { platform::guarded([this] { endOnSignal(); }); });
    modalCloser_ = std::make_unique<QTimer>();
    modalCloser_->setInterval(ModalCloserIntervalMs);
    QObject::connect(modalCloser_.get(), &QTimer::timeout, modalCloser_.get(), closeModalWindows);
    mainWindow_ = std::make_unique<TfmMain>(programDir);
    fmMain = mainWindow_.get();
    livingProgram = this;
    platform::guarded([this] { dataModule_ = std::make_unique<data::Tdm>(fmMain->AppDir); });
    if (!dataModule_)
        return;
    data::dm = dataModule_.get();
    fmMain->joinDataModule(*dataModule_);
    platform::guarded([this] { connectDataModule(*dataModule_); });
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
    livingProgram = nullptr;
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

void Program::endAtExit()
{
    Program* program = std::exchange(livingProgram, nullptr);
    if (!program)
        return;
    platform::setErrorReporter(
        [](const QString& message) { std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData()); });
    platform::guarded([] { fmMain->FormClose(); });
    if (program->dataModule_)
        platform::guarded([program] { program->dataModule_->IBDatabase1.close(); });
}

int Program::run()
{
    fmMain->show();
    if (endRequested_) {
        fmMain->close();
        return EXIT_SUCCESS;
    }
    looping_ = true;
    // Registered once start-up has made everything that the end uses, since exit() destroys what was
    // made after the registration first.
    [[maybe_unused]] static const int endAtExitRegistered = std::atexit(endAtExit);
    return QApplication::exec();
}

// Message boxes that open from here on (a later step of the first show, a save that fails) are
// closed as they come, so that the end never waits for a click. Before the event loop runs (a message
// box of start-up or of the first show runs its own loop), the end waits for run(), since telling a
// loop to end that has not begun does nothing. Once it runs, the event loops are told to end after
// the main window's close, so that the program ends even when a modal window stays open until its
// collection run is over; a running collection is cancelled as "Отменить" would.
void Program::endOnSignal()
{
    if (explorer_)
        explorer_->btStopClick();
    modalCloser_->start();
    closeModalWindows();
    if (!looping_) {
        endRequested_ = true;
        return;
    }
    fmMain->close();
    QCoreApplication::quit();
}

} // namespace app
