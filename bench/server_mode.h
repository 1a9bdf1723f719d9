#pragma once

#include <QString>

#include <memory>

#include "tests/support/firebird_server.h"

namespace bench {

// Whether the arguments ask for the database on a server ("--server").
bool serverModeArgument(const QStringList& arguments);

// Puts the program directory's database behind a Firebird server of its own on 127.0.0.1: the server
// opens the file in place, conf.ini names it, and ISC_PASSWORD carries its administrator's password
// to this process and the processes it starts. The server runs while the answer lives.
std::unique_ptr<test_support::FirebirdServer> serveProgramDatabase(const QString& programDir);

} // namespace bench
