#pragma once

#include <QObject>

#include <csignal>

class QSocketNotifier;

namespace platform {

// Turns SIGINT and SIGTERM into a Qt signal delivered on the event loop, so that a desktop session
// that ends, a kill, or Ctrl+C in a terminal closes the program as the user's own close does. The
// handler only writes a byte to a pipe that the event loop watches. One instance at a time; the
// process's former dispositions come back when it is destroyed.
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

} // namespace platform
