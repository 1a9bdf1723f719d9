#include "platform/handler_guard.h"

#include <QtDebug>

#include <stdexcept>

namespace platform {

namespace {

ErrorReporter& installedReporter()
{
    static ErrorReporter reporter;
    return reporter;
}

} // namespace

ErrorReporter setErrorReporter(ErrorReporter reporter)
{
    return std::exchange(installedReporter(), std::move(reporter));
}

QString errorMessage(const std::exception_ptr& error)
{
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QStringLiteral("Неизвестная ошибка");
    }
}

void reportError(const std::exception_ptr& error)
{
    const QString message = errorMessage(error);
    if (installedReporter())
        installedReporter()(message);
    else
        qCritical().noquote() << message;
}

} // namespace platform
