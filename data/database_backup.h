#pragma once

#include <QDateTime>
#include <QString>

#include <stdexcept>
#include <string>

namespace data {

// How many backups the folder BACKUP beside the database keeps.
inline constexpr int KeptBackups = 7;

// A backup or restore that was refused or failed; the database in place is as it was. The message
// says why, in Russian, for the user.
class BackupError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Writes a backup of the database (named as a Connection names it) to file, whole or not at all: it
// is written under another name first and takes its own name only when complete.
void backupDatabase(const std::string& databaseName, const QString& file);

// The folder BACKUP beside the database, made when it is missing; BackupError when it cannot be.
QString backupFolder(const std::string& databaseName);

// Writes a backup into the folder BACKUP beside the database, named after the database and the time
// (PHOTOLEDGER-20240517-033000.fbk), then removes all but the latest KeptBackups there. Returns the
// new file's path.
QString backupBesideDatabase(const std::string& databaseName, const QDateTime& now);

// Puts the database restored from the backup file in place of the database file at databasePath,
// which is kept as databasePath + ".old". The backup is restored into a new file first, which must be
// complete, hold this program's tables and pass the engine's validation; anything else is refused
// with BackupError and the database in place is left untouched, as it is when another program has it
// open.
void restoreDatabase(const QString& backupFile, const QString& databasePath);

} // namespace data
