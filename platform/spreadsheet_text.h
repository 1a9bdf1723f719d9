#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

class QIODevice;

namespace platform {

// The forms in which tables leave the program for a spreadsheet.
enum class SheetForm {
    Clipboard, // tab-separated lines ending in "\n", as a spreadsheet expects on paste
    Csv,       // ";"-separated records ending in CRLF, quoted where RFC 4180 needs it
};

// One line of fields in the form: a field that holds the separator, a double quote or a line break is
// put in double quotes, its double quotes doubled.
QString sheetLine(SheetForm form, const QStringList& fields);

// A text as a spreadsheet must get it: one that it would take for a formula (beginning with "=", "+",
// "-", "@", a tab or a carriage return) gets a leading "'", so that no text from the agency's pages runs
// as a formula.
QString sheetText(const QString& text);

// A number with this many decimals and "," before them, whatever the system's locale.
QString decimalComma(double value, int decimals);

// The UTF-8 byte order mark that CSV files begin with, so that spreadsheets read them as UTF-8.
inline const QByteArray Utf8ByteOrderMark = "\xEF\xBB\xBF";

// Writes a file that appears under its name only when it is whole: write() fills it under a temporary
// name beside it (false when the device refused a write), and it is renamed at the end, so a failure
// leaves what was there before. A file that cannot be written is an error (std::runtime_error) naming
// it and the reason.
void saveWholeFile(const QString& path, const std::function<bool(QIODevice&)>& write);

} // namespace platform
