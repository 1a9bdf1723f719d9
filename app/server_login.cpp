#include "app/server_login.h"

#include <QApplication>

#include "data/database_location.h"
#include "data/dm.h"
#include "platform/handler_guard.h"
#include "platform/password_dialog.h"
#include "platform/secret_store.h"

namespace app {

namespace {

platform::PasswordRequest passwordRequest(const data::DatabaseLocation& location, const QString& problem)
{
    QString text = QStringLiteral("Пароль пользователя %1 на сервере базы данных %2:")
                       .arg(location.user, location.server);
    if (!problem.isEmpty())
        text = problem + QStringLiteral("\n\n") + text;
    return {QStringLiteral("Сервер базы данных"), text};
}

// Keeps the password the server took; a store that cannot keep it is reported, and the program goes on.
void keepPassword(const data::DatabaseLocation& location, const QString& password)
{
    platform::guarded([&] { platform::SecretStore::write(location.passwordKey(), password); });
}

} // namespace

void connectDataModule(data::Tdm& dm)
{
    const data::DatabaseLocation location = data::readDatabaseLocation(dm.appDir());
    if (!location.onServer()) {
        dm.DataModuleCreate();
        return;
    }
    const platform::SecretStore::Lookup stored = platform::SecretStore::read(location.passwordKey());
    std::optional<QString> password = stored.secret;
    bool kept = password.has_value();
    QString problem = stored.problem.isEmpty()
                          ? QString()
                          : QStringLiteral("Хранилище паролей недоступно, пароль не будет сохранён (%1).")
                                .arg(stored.problem);
    for (;;) {
        if (!password)
            password =
                platform::askPassword(QApplication::activeWindow(), passwordRequest(location, problem));
        // Cancelled: the attach refuses an empty password with a message naming the server.
        dm.setServerPassword(password.value_or(QString()));
        try {
            dm.DataModuleCreate();
        } catch (const data::DbError& e) {
            if (!password || !e.loginRefused())
                throw;
            problem = QString::fromUtf8(e.what());
            password.reset();
            kept = false;
            continue;
        }
        if (!kept && stored.problem.isEmpty())
            keepPassword(location, *password);
        return;
    }
}

} // namespace app
