#include "platform/termination_signals.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace platform {

namespace {

// The pipe's two ends: the handler writes to the first, the event loop reads the second. A signal
// handler can reach nothing but static data.
int signalPipe[2] = {-1, -1};

extern "C" void writeSignalByte(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[0], &byte, 1);
}

} // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0)
        throw std::runtime_error("The termination signals cannot be watched: no socket pair");
    ::fcntl(signalPipe[0], F_SETFL, O_NONBLOCK);
    notifier_ = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::readSignal);

    struct sigaction action = {};
    action.sa_handler = writeSignalByte;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, &formerInterrupt_);
    sigaction(SIGTERM, &action, &formerTerminate_);
}

TerminationSignals::~TerminationSignals()
{
    sigaction(SIGINT, &formerInterrupt_, nullptr);
    sigaction(SIGTERM, &formerTerminate_, nullptr);
    delete notifier_;
    ::close(signalPipe[0]);
    ::close(signalPipe[1]);
    signalPipe[0] = signalPipe[1] = -1;
}

void TerminationSignals::readSignal()
{
    char byte = 0;
    if (::read(signalPipe[1], &byte, 1) == 1)
        Q_EMIT received();
}

} // namespace platform
