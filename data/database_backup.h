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

class Connection;

// Writes a backup of the database the connection names (it need not be connected) to file on this
// computer, whole or not at all: it is written under another name first and takes its own name only
// when complete. A database on a server is backed up by the server, which sends the backup here.
void backupDatabase(const Connection& database, const QString& file);

// The folder BACKUP of the program directory (where the database file lies), made when it is missing;
// BackupError when it cannot be.
QString backupFolder(const QString& programDir);

// The name the database's backups are named after: its file's (PHOTOLEDGER), or for a database on a
// server its name there (photoledger).
QString backupName(const Connection& database);

// Writes a backup into the folder BACKUP of the program directory, named after the database and the
// time (PHOTOLEDGER-20240517-033000.fbk), then removes all but the latest KeptBackups of the database
// there. Returns the new file's path.
QString backupIntoFolder(const Connection& database, const QString& programDir, const QDateTime& now);

// Puts the database restored from the backup file in place of the database file at databasePath,
// which is kept as databasePath + ".old". The backup is restored into a new file first, which must be
// complete, hold this program's tables and pass the engine's validation; anything else is refused
// with BackupError and the database in place is left untouched, as it is when another program has it
// open.
void restoreDatabase(const QString& backupFile, const QString& databasePath);

// Restores the backup file of this computer onto the server's database that the connection names (not
// connected). A database the server does not have yet is made from it. One it has is replaced only
// after the backup, restored beside it on the server, has passed the checks of restoreDatabase, and
// after a backup of it has been written into BACKUP of the program directory
// (before-restore-photoledger-yyyymmdd-hhmmss.fbk) in place of a .old file, which this computer
// cannot make on the server. Returns that backup's path, empty when nothing was replaced. BackupError
// as for restoreDatabase, also when another program has the database open.
QString restoreOnServer(const QString& backupFile, const Connection& database, const QString& programDir);

} // namespace data
