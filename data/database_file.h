#pragma once

#include <QString>

namespace data {

class Connection;

// The schema script compiled into the library (UTF-8 text).
const char* schemaScript();

// Creates the database the connection names (a file, or a database on a server) with the tables,
// procedures and starting rows of the schema script, and leaves it detached with forced writes on.
// A database the script fails on is left for the caller to remove.
void createDatabase(Connection& connection);

// Creates the statistics database file at path with the tables, procedures and starting rows of the
// schema script. Refuses with DbError when the file exists; a file left half-made by a failing
// script is removed again.
void createDatabaseFile(const QString& path);

// Fills the table HTML_ENTITIES, when it is empty, with the named character references that the
// program decodes, so that the database's DECODE_HTML reads titles and keywords as the program shows
// them. Commits.
void fillHtmlEntities(Connection& connection);

// Recomputes the selectivity of every index of the database's own tables and commits. An index made
// on an empty table keeps selectivity 0 until then, which misleads the optimizer after a bulk load.
void refreshIndexStatistics(Connection& connection);

} // namespace data
