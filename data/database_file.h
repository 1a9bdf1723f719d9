#pragma once

#include <QString>

namespace data {

// The schema script compiled into the library (UTF-8 text).
const char* schemaScript();

// Creates the statistics database file at path with the tables, procedures and starting rows of the
// schema script. Refuses with DbError when the file exists; a file left half-made by a failing
// script is removed again.
void createDatabaseFile(const QString& path);

} // namespace data
