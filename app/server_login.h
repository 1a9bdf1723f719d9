#pragma once

namespace data {
class Tdm;
} // namespace data

namespace app {

// Opens the data module's database (DataModuleCreate). A database on a server needs the password of
// its user: the one kept in the desktop's secret store, or else one asked for in a dialog and kept
// there once the server has taken it. A password the server refuses is asked for again with the
// server's answer; cancelling the dialog is an error naming the server, and nothing is opened in its
// place (the first show of the main window, which connects again, says so once more).
void connectDataModule(data::Tdm& dm);

} // namespace app
