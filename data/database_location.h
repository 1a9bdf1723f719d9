#pragma once

#include <QString>

#include <string>

namespace data {

// Where the statistics database lies, as the section [Database] of conf.ini in the program directory
// says. Server ("host" or "host/port") names a Firebird server, User the user the program logs in as
// there and Database the database on it (an alias of the server's databases.conf, or a path on the
// server; "photoledger" when absent). Without Server (or with it empty): the file beside the program.
struct DatabaseLocation
{
    static constexpr const char* DefaultServerDatabase = "photoledger";

    QString server;
    QString user;
    // The database on the server, or the path of the file beside the program.
    QString database;

    bool onServer() const { return !server.isEmpty(); }
    // What the client library attaches to: "host/port:database" for a server, the file's path otherwise.
    std::string attachName() const;
    // The key under which the desktop's secret store keeps the user's password: "user@server".
    QString passwordKey() const;
};

// Reads the section [Database] of conf.ini in the program directory. Throws DbError naming the key
// when a value cannot be used: a server without a user, a port that is no number, a name with spaces.
DatabaseLocation readDatabaseLocation(const QString& programDir);

class Connection;

// Aims the connection at the location; the password is the server user's (unused for the file).
void setLocation(Connection& connection, const DatabaseLocation& location, const QString& password);

// Aims the connection at the database of the program directory, as a program without a window opens
// it: with toolPassword's password for a server.
void setToolLocation(Connection& connection, const QString& programDir);

// The password of the server's user for a program without a window: ISC_PASSWORD when it is set,
// otherwise the one the program keeps in the desktop's secret store. DbError saying how to give one
// when neither has it.
QString toolPassword(const DatabaseLocation& location);

} // namespace data
