#include "platform/secret_store.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <qt6keychain/keychain.h>

#include <stdexcept>

namespace platform {

namespace {

constexpr const char* Service = "photoledger";
// The store answers through the event loop of a running application.
const QString NoApplication = QStringLiteral("нет приложения Qt, через которое оно отвечает");

// Runs the job to its end; the store answers through D-Bus, so the caller's thread waits in an event
// loop of its own.
void runToEnd(QKeychain::Job& job)
{
    job.setAutoDelete(false);
    bool finished = false;
    QEventLoop loop;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, [&] {
        finished = true;
        loop.quit();
    });
    job.start();
    if (!finished)
        loop.exec();
}

} // namespace

SecretStore::Lookup SecretStore::read(const QString& key)
{
    if (!QCoreApplication::instance())
        return {std::nullopt, NoApplication};
    QKeychain::ReadPasswordJob job{QLatin1String(Service)};
    job.setKey(key);
    runToEnd(job);
    if (job.error() == QKeychain::NoError)
        return {job.textData(), {}};
    if (job.error() == QKeychain::EntryNotFound)
        return {std::nullopt, {}};
    return {std::nullopt, job.errorString()};
}

void SecretStore::write(const QString& key, const QString& secret)
{
    if (!QCoreApplication::instance())
        throw std::runtime_error(NoApplication.toStdString());
    QKeychain::WritePasswordJob job{QLatin1String(Service)};
    job.setKey(key);
    job.setTextData(secret);
    runToEnd(job);
    if (job.error() != QKeychain::NoError)
        throw std::runtime_error(QStringLiteral("Не удалось сохранить пароль в хранилище паролей: %1")
                                     .arg(job.errorString())
                                     .toStdString());
}

} // namespace platform
