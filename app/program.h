#pragma once

#include <QString>

#include <memory>

class QDialog;
class QTimer;

namespace chart {
class TfmGraph;
} // namespace chart

namespace collect {
class TfmExplorer;
} // namespace collect

namespace data {
class Tdm;
} // namespace data

namespace platform {
class TerminationSignals;
} // namespace platform

namespace app {

class TfmAbout;
class TfmMain;

// The program-wide windows besides the main window (fmMain, main_window.h).
extern TfmAbout* fmAbout;
// The collection and chart windows; null until the program has them, and then the menu items that
// show them do nothing.
extern QDialog* fmExplorer;
extern QDialog* fmGraph;

// Shows a window modally; a window the program does not have (null) is not shown.
void showModally(QDialog* window);

// Start-up and program end. Start-up creates the main window, then the data module, which connects
// the database and starts the transaction, then the other windows; the program-wide pointers name them
// while the Program lives. A database that cannot be connected is reported in the error box and
// start-up goes on unconnected; a client library that cannot be loaded is reported and ends start-up.
// At the end the windows are destroyed first, then the data module, whose running transaction is
// committed. SIGTERM and SIGINT close the open modal windows and then the main window, as the user
// would, so that the settings are saved and the program ends normally. An end through exit() while the
// Program lives (Qt's X11 platform calls it when the display goes away) writes the settings and commits
// and closes the database as well, without showing anything. One Program at a time.
class Program
{
public:
    explicit Program(const QString& programDir);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // False when start-up has ended early; the reason has been shown.
    bool started() const { return dataModule_ != nullptr; }
    // Shows the main window and runs the event loop until the main window closes.
    int run();

private:
    // SIGTERM or SIGINT: the open modal windows and the main window close as the user would close them.
    void endOnSignal();
    // exit() called while the Program lives; errors go to standard error, since no window can be shown.
    static void endAtExit();

    bool looping_ = false;
    bool endRequested_ = false;
    std::unique_ptr<platform::TerminationSignals> terminationSignals_;
    // After a termination signal: closes modal windows as they open.
    std::unique_ptr<QTimer> modalCloser_;
    std::unique_ptr<TfmMain> mainWindow_;
    std::unique_ptr<data::Tdm> dataModule_;
    std::unique_ptr<collect::TfmExplorer> explorer_;
    std::unique_ptr<TfmAbout> aboutBox_;
    std::unique_ptr<chart::TfmGraph> graphWindow_;
};

} // namespace app
