#pragma once

#include <QByteArray>
#include <vector>

namespace data {

class Connection;

// Splits an SQL script into its statements, as isql reads it: "SET TERM new old" changes the
// terminator, "--" and "/* */" comments are dropped, terminators inside quotes do not count.
// The SET TERM commands themselves are not statements.
std::vector<QByteArray> splitSqlScript(const QByteArray& script);

// Runs each statement of the script in a transaction of its own, committed before the next one
// (so that later statements see the objects and rows of earlier ones). The first failure is raised
// as DbError, naming the statement's position in the script.
void runSqlScript(Connection& connection, const QByteArray& script);
void runSqlStatements(Connection& connection, const std::vector<QByteArray>& statements);

} // namespace data
