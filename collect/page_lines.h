#pragma once

#include <stdexcept>

#include <QByteArray>
#include <QList>
#include <QString>

// The two line forms of a saved page. Lines are Windows-1251 bytes, never converted or decoded.
namespace collect {

// A page that cannot be read as the collectors expect it; the message says what is wrong.
class PageError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The page split at CR LF, CR or LF; the bytes from the first NUL on are ignored.
QList<QByteArray> rawLines(const QByteArray& bytes);

// The raw lines of a file; PageError when it cannot be read (a missing file included).
QList<QByteArray> readRawLines(const QString& fileName);

// Joins raw lines so that every logical line begins with "<": trimmed lines that begin with "<"
// start a new logical line, other non-empty ones are appended to the last one after a blank.
// PageError when the first non-empty line does not begin with "<".
QList<QByteArray> joinLines(const QList<QByteArray>& rawLines);

// The raw lines joined again with CR LF after each line.
QByteArray pageText(const QList<QByteArray>& rawLines);

// The line at index, or PageError naming the line when the page has no such line: collectors read
// values at fixed distances from a marker line, which a malformed page may put outside the page.
const QByteArray& lineAt(const QList<QByteArray>& lines, qsizetype index);

} // namespace collect
