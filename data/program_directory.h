#pragma once

#include <QString>

namespace data {

// Where the program keeps its files (the database, conf.ini, PREVIEW and Temp). The directory of the
// executable when it holds the database, as the build tree, a copied portable directory or the demo do;
// otherwise the user's own directory, userProgramDirectory(), as for a program installed for the machine.
QString programDirectory(const QString& executableDir);

// $XDG_DATA_HOME/photoledger, or ~/.local/share/photoledger when XDG_DATA_HOME is unset or not absolute.
QString userProgramDirectory();

// The database file of a program directory: dir/PHOTOLEDGER.GDB.
QString databasePath(const QString& dir);

// Makes dir a program directory: creates it with PREVIEW and Temp, and a new database when it has none
// and its conf.ini names no database server.
// An existing database is never replaced. A failure is an error (std::runtime_error) naming the
// directory, and leaves no half-made database behind.
void prepareProgramDirectory(const QString& dir);

} // namespace data
