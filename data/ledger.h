#pragma once

#include <QByteArray>
#include <QStringList>

#include <stdexcept>

class QIODevice;

namespace data {

class Connection;

// The version of the ledger format that exportLedger writes and importLedger reads.
inline constexpr int LedgerFormatVersion = 1;

// A file that is not a ledger, or a malformed row of one; the message says where, in Russian.
class LedgerError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Writes the record of the database as a ledger, a portable file: a zip archive (members stored) of
// FOLDERS.csv, PICTURES.csv (without the previews) and SALES.csv, each a header line of column names
// and a line per row (UTF-8, commas, texts in double quotes, an empty unquoted field for null, dates
// as yyyy-mm-dd, amounts as the shortest decimal that reads back as the same number), and VERSION
// with the format version. Everything is read in one new transaction, committed afterwards. False
// when out fails to write.
bool exportLedger(Connection& connection, QIODevice& out);

struct LedgerTableCounts
{
    qint64 added = 0;
    qint64 equal = 0;
    qint64 conflicting = 0;
};

struct LedgerImport
{
    LedgerTableCounts folders;
    LedgerTableCounts pictures;
    LedgerTableCounts sales;
    // One line per conflicting row: where it is in the file and which values differ.
    QStringList conflicts;
};

// Merges a ledger into the database in one transaction. A row whose key (a folder's or a picture's
// id, a sale's picture and day) is not in the database is added; one that is there with the same
// values is skipped; one that is there with other values is a conflict, reported and left as the
// database has it. Sales are added to SALES with the roll-ups deferred, then brought up to them before
// the commit (ROLL_UP_ADDED_SALES). Importing a ledger again changes nothing. A file that is not a
// ledger of a known version, or a malformed row, is refused with LedgerError and the transaction is
// rolled back: nothing changes.
LedgerImport importLedger(Connection& connection, const QByteArray& ledger);

} // namespace data
