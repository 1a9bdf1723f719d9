#include "platform/termination_signals.h"

#include <QSocketNotifier>

#include <atomic>
#include <fcntl.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace platform {

namespace {

// The pipe's two ends: the handler writes to the first, the waiting side reads the second. A signal
// handler can reach nothing but static data.
int signalPipe[2] = {-1, -1};
std::atomic<int> firstSignal{0};
static_assert(std::atomic<int>::is_always_lock_free, "the number is stored by a signal handler");

extern "C" void recordSignal(int number)
{
    int none = 0;
    firstSignal.compare_exchange_strong(none, number);
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[0], &byte, 1);
}

void openSignalPipe()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0)
        throw std::runtime_error("The termination signals cannot be watched: no socket pair");
    ::fcntl(signalPipe[0], F_SETFL, O_NONBLOCK);
    firstSignal = 0;
}

void closeSignalPipe()
{
    ::close(signalPipe[0]);
    ::close(signalPipe[1]);
    signalPipe[0] = signalPipe[1] = -1;
}

void recordTerminationSignals(int flags, struct sigaction& formerInterrupt, struct sigaction& formerTerminate)
{
    struct sigaction action = {};
    action.sa_handler = recordSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = flags;
    sigaction(SIGINT, &action, &formerInterrupt);
    sigaction(SIGTERM, &action, &formerTerminate);
}

void restoreTerminationSignals(const struct sigaction& formerInterrupt,
                               const struct sigaction& formerTerminate)
{
    sigaction(SIGINT, &formerInterrupt, nullptr);
    sigaction(SIGTERM, &formerTerminate, nullptr);
}

} // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent)
{
    openSignalPipe();
    notifier_ = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::readSignal);
    recordTerminationSignals(SA_RESTART, formerInterrupt_, formerTerminate_);
}

TerminationSignals::~TerminationSignals()
{
    restoreTerminationSignals(formerInterrupt_, formerTerminate_);
    delete notifier_;
    closeSignalPipe();
}

void TerminationSignals::readSignal()
{
    char byte = 0;
    if (::read(signalPipe[1], &byte, 1) == 1)
        Q_EMIT received();
}

TerminationRequest::TerminationRequest()
{
    openSignalPipe();
    recordTerminationSignals(SA_RESTART | SA_RESETHAND, formerInterrupt_, formerTerminate_);
}

TerminationRequest::~TerminationRequest()
{
    restoreTerminationSignals(formerInterrupt_, formerTerminate_);
    closeSignalPipe();
}

int TerminationRequest::signal() const
{
    return firstSignal;
}

int TerminationRequest::descriptor() const
{
    return signalPipe[1];
}

} // namespace platform
