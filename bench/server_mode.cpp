#include "bench/server_mode.h"

#include <QStringList>

#include "data/program_directory.h"

namespace bench {

bool serverModeArgument(const QStringList& arguments)
{
    return arguments.contains(QStringLiteral("--server"));
}

std::unique_ptr<test_support::FirebirdServer> serveProgramDatabase(const QString& programDir)
{
    auto server = std::make_unique<test_support::FirebirdServer>();
    test_support::writeDatabaseSection(programDir, server->address(), test_support::FirebirdServer::AdminUser,
                                       data::databasePath(programDir));
    qputenv("ISC_PASSWORD", test_support::FirebirdServer::AdminPassword);
    return server;
}

} // namespace bench
