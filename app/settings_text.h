#pragma once

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace platform {
class IniFile;
} // namespace platform

namespace app {

// The texts of conf.ini's settings sections, without widgets: the textual description of a window's
// stored values, the forms of those values, the Line keys that hold a description, and the seven
// numbers of a grid column.

// A component on the way from a window to a stored property: its name and class as written.
struct DescribedComponent
{
    QString name;
    QString className;
};

// One stored value: the components below the window that lead to its owner (none for the window's
// own values), the property (dotted for a property of a sub-object, "Font.Color") and the value as
// written. `line` is the line it was read from; -1 for a value being written.
struct DescribedValue
{
    QList<DescribedComponent> owners;
    QString property;
    QString value;
    int line = -1;
};

// The lines of a window's description: "object fmMain: TfmMain", the values with their nested
// "object" blocks (consecutive values share the blocks of their common owners), each level indented
// by two blanks, and "end".
QStringList describeWindow(const DescribedComponent& window, const QList<DescribedValue>& values);

// A description as read back. Lines that cannot be read are skipped and named in `problems`, so one
// bad line costs only its own value.
struct WindowDescription
{
    DescribedComponent window;
    QList<DescribedValue> values;
    QStringList problems;
};

// Reads a description, ignoring indentation. Throws std::runtime_error("Invalid stream format.")
// when the first line is not an "object" line.
WindowDescription readWindowDescription(const QStringList& lines);

// "Line N of the description: what is wrong: the line".
QString descriptionProblem(int line, const QString& what, const QString& text);

// Value forms: whole numbers in decimal (negative ones too), check states as True or False, colours
// by their standard name or as the decimal of red + 256 × green + 65536 × blue. The colour-name
// table holds the sixteen basic colours and clWindowText, the system's window text colour, which is
// passed in; a colour equal to it is written clWindowText (the design colour of one chart label), so
// black on a system with black window text is written clWindowText, not clBlack.
QString integerText(int value);
std::optional<int> readInteger(const QString& text);
QString booleanText(bool value);
std::optional<bool> readBoolean(const QString& text);
QString colourText(const QColor& colour, const QColor& windowText);
std::optional<QColor> readColour(const QString& text, const QColor& windowText);

// A window section's description under the keys Line0, Line1, ..., each line in single quotes (they
// keep its leading blanks). Writing deletes the Line keys beyond the new description up to the first
// number the section lacks; other keys stay. Reading strips the quotes and stops at the first
// missing Line key.
void writeDescriptionLines(platform::IniFile& file, const QByteArray& section, const QStringList& lines);
QStringList readDescriptionLines(const platform::IniFile& file, const QByteArray& section);

// A grid column as stored in "PicGrid": position (from 0, hidden columns counted), width, sort marker
// (0 none, 1 descending, 2 ascending), visibility (1 or 0), sort index (1 for the sorted column),
// and the drop-down row count and width (7 and 0), which are written but never read.
struct StoredColumn
{
    std::optional<int> position;
    std::optional<int> width;
    std::optional<int> marker;
    std::optional<int> sortIndex;
};

QByteArray columnText(int position, int width, int marker, bool visible, int sortIndex);
// Splits at commas and blanks; a missing or non-numeric number stays empty.
StoredColumn readColumnText(const QByteArray& text);

} // namespace app
