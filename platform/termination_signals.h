#pragma once

#include <QObject>

#include <csignal>

class QSocketNotifier;

namespace platform {

// Turns SIGINT and SIGTERM into a Qt signal delivered on the event loop, so that a desktop session
// that ends, a kill, or Ctrl+C in a terminal closes the program as the user's own close does. The
// handler only writes a byte to a pipe that the event loop watches. One instance of this class or of
// TerminationRequest at a time; the process's former dispositions come back when it is destroyed.
class TerminationSignals : public QObject
{
    Q_OBJECT

public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

Q_SIGNALS:
    void received();

private:
    void readSignal();

    QSocketNotifier* notifier_ = nullptr;
    struct sigaction formerInterrupt_ {};
    struct sigaction formerTerminate_ {};
};

// The first SIGINT or SIGTERM as a request to end that blocking work watches without an event loop:
// it is kept once received, and it makes a descriptor readable, so that a wait on sockets that
// includes the descriptor wakes at once. The signal's default action comes back after the first, so a
// second Ctrl+C ends the process at once. One instance of this class or of TerminationSignals at a
// time; the process's former dispositions come back when it is destroyed.
class TerminationRequest
{
public:
    TerminationRequest();
    ~TerminationRequest();
    TerminationRequest(const TerminationRequest&) = delete;
    TerminationRequest& operator=(const TerminationRequest&) = delete;

    // SIGINT or SIGTERM once received, 0 before.
    int signal() const;
    bool received() const { return signal() != 0; }
    // Readable from the first signal on; never read from, so it stays readable.
    int descriptor() const;

private:
    struct sigaction formerInterrupt_ {};
    struct sigaction formerTerminate_ {};
};

} // namespace platform
