#pragma once

#include <QStringList>

#include <string>

namespace data {

// The engine's service manager for one database: backup, restore and validation run inside the engine
// (in this process for a local file), with no external program. The database is named as a Connection
// names it: a local path, or "host:path" for a server, whose service manager is then asked.
class DatabaseService
{
public:
    explicit DatabaseService(std::string databaseName);

    // Writes a backup of the database to backupPath (a path the engine's process can write).
    void backup(const std::string& backupPath) const;
    // Makes the database, which must not exist yet, from the backup at backupPath. A file that is not a
    // whole backup fails with DbError carrying the engine's words; the partly made database is left for
    // the caller to remove.
    void restore(const std::string& backupPath) const;
    // Validates every page and index of the database (it may be in use meanwhile); the engine's lines
    // that report an error, empty when it found none.
    QStringList validate() const;

private:
    QStringList run(const std::vector<unsigned char>& request) const;

    std::string serviceManager_;
    std::string databasePath_;
};

} // namespace data
