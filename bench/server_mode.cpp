#include "bench/server_mode.h"

#include <QDir>
#include <QStringList>

#include "data/dm.h"
#include "platform/ini_file.h"

namespace bench {

bool serverModeArgument(const QStringList& arguments)
{
    return arguments.contains(QStringLiteral("--server"));
}

std::unique_ptr<test_support::FirebirdServer> serveProgramDatabase(const QString& programDir)
{
    auto server = std::make_unique<test_support::FirebirdServer>();
    platform::IniFile conf(QDir(programDir).filePath(QStringLiteral("conf.ini")));
    conf.setValue("Database", "Server", server->address().toUtf8());
    conf.setValue("Database", "User", test_support::FirebirdServer::AdminUser);
    conf.setValue("Database", "Database",
                  QDir(programDir).filePath(QLatin1String(data::Tdm::DatabaseFileName)).toUtf8());
    conf.save();
    qputenv("ISC_PASSWORD", test_support::FirebirdServer::AdminPassword);
    return server;
}

} // namespace bench
