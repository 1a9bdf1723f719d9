#pragma once

#include <QStringList>

#include <string>

namespace data {

class Connection;

// The engine's service manager for one database: backup, restore and validation run inside the engine
// that holds it, with no external program: in this process for a local file; for a database on a
// server, in the server, whose service manager is logged into as the connection's user. Backup files
// always lie on this computer: a server sends its backup here and reads a restore's from here.
class DatabaseService
{
public:
    // The database the connection names (it need not be connected).
    explicit DatabaseService(const Connection& database);

    // Writes a backup of the database to the file at backupPath.
    void backup(const std::string& backupPath) const;
    // Makes the database from the backup at backupPath: one that must not exist yet, or with replace
    // one that exists and that nobody else has open, dropped first. A file that is not a whole backup
    // fails with DbError carrying the engine's words; the partly made database is left for the caller
    // to remove.
    void restore(const std::string& backupPath, bool replace = false) const;
    // Validates every page and index of the database (it may be in use meanwhile); the engine's lines
    // that report an error, empty when it found none.
    QStringList validate() const;

private:
    std::string serviceManager_;
    std::string user_;
    std::string password_;
    std::string databasePath_;
    bool remote_ = false;
};

} // namespace data
