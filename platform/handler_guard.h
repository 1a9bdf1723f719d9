#pragma once

#include <QObject>
#include <QString>

#include <concepts>
#include <exception>
#include <functional>
#include <utility>

namespace platform {

// Receives the message of an error that ended an event handler: the application's error box.
using ErrorReporter = std::function<void(const QString& message)>;

// Installs the reporter and returns the one it replaces. Until one is installed, messages go to the
// debug output.
ErrorReporter setErrorReporter(ErrorReporter reporter);

// The text an error is reported with: what() of a standard exception.
QString errorMessage(const std::exception_ptr& error);

// Hands an error to the installed reporter.
void reportError(const std::exception_ptr& error);

// Runs an event handler. An error ends the handler and goes to the reporter, so that nothing escapes
// into Qt's event loop and the program goes on with the next user action. Answers whether the handler
// ran to its end.
template <typename Handler> bool guarded(Handler&& handler)
{
    try {
        std::forward<Handler>(handler)();
        return true;
    } catch (...) {
        reportError(std::current_exception());
        return false;
    }
}

// Connects a signal to a member function of the receiver, run guarded. The slot may take fewer
// arguments than the signal carries, as with QObject::connect.
template <typename Sender, typename Signal, typename Receiver, typename Slot>
QMetaObject::Connection connectGuarded(Sender* sender, Signal signal, Receiver* receiver, Slot slot)
{
    return QObject::connect(
        sender, signal, receiver,
        [ receiver, slot ](auto&&... args) requires std::invocable<Slot, Receiver*, decltype(args)...> {
            guarded([&] { std::invoke(slot, receiver, std::forward<decltype(args)>(args)...); });
        });
}

} // namespace platform
