#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

#include "browser/picture_fields.h"
#include "platform/spreadsheet_text.h"

class QIODevice;

namespace data {
class Connection;
class Transaction;
class Value;
} // namespace data

namespace browser {

// The forms in which the picture list leaves the program.
using ListTextForm = platform::SheetForm;

// Of the grid's columns in their current order (logical indexes), those that leave the program: the
// shown ones that hold text, without the painted preview and mini chart.
std::vector<PictureColumn> exportedColumns(const std::vector<int>& columnOrder);

// Writes rows of the picture list as text for a spreadsheet: a line of column titles, then a line per
// row. Numbers and dates take the Russian forms whatever the system's locale: "," before the decimals,
// dates dd.mm.yyyy. A text that a spreadsheet would take for a formula (one that begins with "=", "+",
// "-", "@", a tab or a carriage return) gets a leading "'", so that no title or keyword text from the
// agency's pages runs as a formula.
class PictureListWriter
{
public:
    // A field of the row being written.
    using ValueOf = std::function<const data::Value&(PictureColumn)>;

    PictureListWriter(ListTextForm form, std::vector<PictureColumn> columns);

    const std::vector<PictureColumn>& columns() const { return columns_; }
    QString titleLine() const;
    QString rowLine(const ValueOf& valueOf) const;

private:
    ListTextForm form_;
    std::vector<PictureColumn> columns_;
};

// The suggested name of the CSV file of a period: "photoledger-01.12.2026-09.12.2026.csv".
QString csvFileName(QDate from, QDate till);

// Runs the list's statement in the transaction and writes every row of its result to the device as CSV
// (UTF-8 with a byte order mark), one row at a time, so that the rows are never all held at once. A
// database error is thrown. The number of rows written; nullopt when the device refused a write (its
// errorString says why).
std::optional<int> writeCsv(data::Connection& connection, data::Transaction& transaction,
                            const QByteArray& statement, const std::vector<PictureColumn>& columns,
                            QIODevice& out);

// writeCsv into a file that appears under its name only when it is whole: it is written under a
// temporary name beside it and renamed at the end, so a failure leaves what was there before. A file
// that cannot be written is an error naming it. The number of rows written.
int saveCsvFile(const QString& path, data::Connection& connection, data::Transaction& transaction,
                const QByteArray& statement, const std::vector<PictureColumn>& columns);

} // namespace browser
