#pragma once

namespace data {

class Connection;

// Brings a database made by an earlier version of the program up to the current schema, once, when it
// is opened. Such a database caught its roll-ups up from a mark of SALES ids (the table ROLL_UP_STATE),
// which only one writer can keep: its last catch-up runs first, so that the roll-ups are exact when the
// current trigger takes over; then every procedure and trigger takes its current definition, and the
// objects only the mark used are dropped. The current database has nothing to do; an error leaves the
// rest of the upgrade to the next opening, with the stored rows untouched.
void upgradeDatabase(Connection& connection);

} // namespace data
