#include "data/database_location.h"

#include <QDir>
#include <QRegularExpression>

#include "data/connection.h"
#include "data/program_directory.h"
#include "platform/ini_file.h"
#include "platform/secret_store.h"

namespace data {

namespace {

constexpr const char* Section = "Database";

[[noreturn]] void refuse(const QString& text)
{
    throw DbError(QStringLiteral("conf.ini, раздел [Database]: %1").arg(text).toStdString());
}

// A host name or IPv4 address, optionally followed by "/" and a port number.
void checkServer(const QString& server)
{
    static const QRegularExpression form(QStringLiteral("^[A-Za-z0-9._-]+(/(\\d{1,5}))?$"));
    const QRegularExpressionMatch match = form.match(server);
    const int port = match.captured(2).isEmpty() ? 1 : match.captured(2).toInt();
    if (!match.hasMatch() || port < 1 || port > 65535)
        refuse(QStringLiteral("ключ Server \"%1\" должен быть именем или адресом компьютера, "
                              "с номером порта через \"/\" или без него (например, homeserver/3050)")
                   .arg(server));
}

} // namespace

std::string DatabaseLocation::attachName() const
{
    const QString name = onServer() ? server + QLatin1Char(':') + database : database;
    return name.toStdString();
}

QString DatabaseLocation::passwordKey() const
{
    return user + QLatin1Char('@') + server;
}

DatabaseLocation readDatabaseLocation(const QString& programDir)
{
    const platform::IniFile conf(QDir(programDir).filePath(QStringLiteral("conf.ini")));
    DatabaseLocation location;
    location.server = QString::fromUtf8(conf.value(Section, "Server")).trimmed();
    if (!location.onServer()) {
        location.database = databasePath(programDir);
        return location;
    }
    checkServer(location.server);
    location.user = QString::fromUtf8(conf.value(Section, "User")).trimmed();
    if (location.user.isEmpty() || location.user.contains(QLatin1Char(' ')))
        refuse(QStringLiteral("для сервера %1 ключ User должен назвать пользователя сервера")
                   .arg(location.server));
    location.database = QString::fromUtf8(conf.value(Section, "Database")).trimmed();
    if (location.database.isEmpty())
        location.database = QLatin1String(DatabaseLocation::DefaultServerDatabase);
    return location;
}

void setLocation(Connection& connection, const DatabaseLocation& location, const QString& password)
{
    connection.setDatabaseName(location.attachName());
    if (location.onServer())
        connection.setServerLogin(location.server.toStdString(), location.user.toStdString(),
                                  password.toStdString());
}

void setToolLocation(Connection& connection, const QString& programDir)
{
    const DatabaseLocation location = readDatabaseLocation(programDir);
    setLocation(connection, location, location.onServer() ? toolPassword(location) : QString());
}

QString toolPassword(const DatabaseLocation& location)
{
    if (qEnvironmentVariableIsSet("ISC_PASSWORD"))
        return qEnvironmentVariable("ISC_PASSWORD");
    const platform::SecretStore::Lookup stored = platform::SecretStore::read(location.passwordKey());
    if (stored.secret)
        return *stored.secret;
    const QString where = stored.problem.isEmpty()
                              ? QStringLiteral("в хранилище паролей его нет")
                              : QStringLiteral("хранилище паролей недоступно: %1").arg(stored.problem);
    throw DbError(QStringLiteral("Нет пароля пользователя %1 для сервера базы данных %2 (%3): задайте его в "
                                 "переменной ISC_PASSWORD или откройте программу и введите его там")
                      .arg(location.user, location.server, where)
                      .toStdString());
}

} // namespace data
