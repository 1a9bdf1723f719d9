#pragma once

class QString;

namespace data {

class Connection;

// The version of the schema script. A database records its version in the one row of SCHEMA_VERSION;
// one made before the table existed is version 1 when it still has the roll-up mark ROLL_UP_STATE and
// version 2 otherwise.
int currentSchemaVersion();

// The version recorded in (or derived from) the connected database.
int schemaVersion(Connection& connection);

// Records the current version in a database just made from the schema script, and commits.
void recordCurrentSchemaVersion(Connection& connection);

// Brings a database made by an earlier version of the program up to the current schema when it is
// opened: a backup is written first (see backUpBeforeUpgrade), then every later version's step,
// the current definition of every procedure and trigger and the new version are committed in one
// transaction, which an error undoes as a whole. Objects that no current definition uses any more
// are dropped afterwards, each on its own, and new roll-ups filled. A current database has nothing
// to do.
void upgradeDatabase(Connection& connection, const QString& programDir);

// Writes a backup of the database into BACKUP/ of the program directory (also of a database on a
// server, which sends it) before an upgrade changes it, named after the version it holds; BackupError
// when it cannot, and the upgrade does not start.
void backUpBeforeUpgrade(const Connection& connection, int version, const QString& programDir);

} // namespace data
