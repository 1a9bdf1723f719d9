#include "app/settings_text.h"

#include <QRegularExpression>

#include <array>
#include <stdexcept>

#include "platform/ini_file.h"

namespace app {

namespace {

const QString End = QStringLiteral("end");
const QString ObjectPrefix = QStringLiteral("object ");
const QString ValueSeparator = QStringLiteral(" = ");

QString indent(int level)
{
    return QString(2 * level, QLatin1Char(' '));
}

QString objectLine(const DescribedComponent& component)
{
    return ObjectPrefix + component.name + QStringLiteral(": ") + component.className;
}

// "object Name: Class", blanks around the colon allowed.
std::optional<DescribedComponent> readObjectLine(const QString& line)
{
    static const QRegularExpression pattern(QStringLiteral("^object\\s+(\\w+)\\s*:\\s*(\\w+)$"));
    const QRegularExpressionMatch match = pattern.match(line);
    if (!match.hasMatch())
        return std::nullopt;
    return DescribedComponent{match.captured(1), match.captured(2)};
}

qsizetype commonOwners(const QList<DescribedComponent>& open, const QList<DescribedComponent>& owners)
{
    qsizetype shared = 0;
    while (shared < open.size() && shared < owners.size() && open[shared].name == owners[shared].name)
        ++shared;
    return shared;
}

struct NamedColour
{
    const char* name;
    int windowsValue; // red + 256 × green + 65536 × blue
};

constexpr std::array<NamedColour, 16> BasicColours = {{
    {"clBlack", 0x000000}, {"clMaroon", 0x000080}, {"clGreen", 0x008000}, {"clOlive", 0x008080},
    {"clNavy", 0x800000},  {"clPurple", 0x800080}, {"clTeal", 0x808000},  {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0}, {"clRed", 0x0000FF},   {"clLime", 0x00FF00},  {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},  {"clFuchsia", 0xFF00FF}, {"clAqua", 0xFFFF00}, {"clWhite", 0xFFFFFF},
}};

const QString WindowTextName = QStringLiteral("clWindowText");

int windowsValue(const QColor& colour)
{
    return colour.red() + 256 * colour.green() + 65536 * colour.blue();
}

QColor fromWindowsValue(int value)
{
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

QByteArray lineKey(int number)
{
    return "Line" + QByteArray::number(number);
}

QString unquoted(const QString& value)
{
    const bool quoted = value.size() >= 2 && value.front() == value.back() &&
                        (value.front() == QLatin1Char('\'') || value.front() == QLatin1Char('"'));
    return quoted ? value.mid(1, value.size() - 2) : value;
}

} // namespace

QStringList describeWindow(const DescribedComponent& window, const QList<DescribedValue>& values)
{
    QStringList lines{objectLine(window)};
    QList<DescribedComponent> open;
    const auto closeDownTo = [&](qsizetype level) {
        while (open.size() > level) {
            lines << indent(int(open.size())) + End;
            open.removeLast();
        }
    };
    for (const DescribedValue& value : values) {
        closeDownTo(commonOwners(open, value.owners));
        while (open.size() < value.owners.size()) {
            open << value.owners[open.size()];
            lines << indent(int(open.size())) + objectLine(open.last());
        }
        lines << indent(int(open.size()) + 1) + value.property + ValueSeparator + value.value;
    }
    closeDownTo(0);
    lines << End;
    return lines;
}

QString descriptionProblem(int line, const QString& what, const QString& text)
{
    return QStringLiteral("Line %1: %2: %3").arg(line).arg(what, text);
}

WindowDescription readWindowDescription(const QStringList& lines)
{
    const std::optional<DescribedComponent> window =
        lines.isEmpty() ? std::nullopt : readObjectLine(lines.first().trimmed());
    if (!window)
        throw std::runtime_error("Invalid stream format.");
    WindowDescription description{*window, {}, {}};
    QList<DescribedComponent> open;
    bool ended = false;
    for (int number = 1; number < lines.size(); ++number) {
        const QString line = lines[number].trimmed();
        const qsizetype separator = line.indexOf(QLatin1Char('='));
        if (line.isEmpty())
            continue;
        if (ended)
            description.problems << descriptionProblem(number, QStringLiteral("text after the last end"), line);
        else if (line == End && open.isEmpty())
            ended = true;
        else if (line == End)
            open.removeLast();
        else if (const std::optional<DescribedComponent> component = readObjectLine(line))
            open << *component;
        else if (separator > 0 && !line.left(separator).trimmed().contains(QLatin1Char(' ')))
            description.values << DescribedValue{open, line.left(separator).trimmed(),
                                                 line.mid(separator + 1).trimmed(), number};
        else
            description.problems << descriptionProblem(number, QStringLiteral("unreadable line"), line);
    }
    if (!ended)
        description.problems << descriptionProblem(int(lines.size()), QStringLiteral("end expected"),
                                                   lines.isEmpty() ? QString() : lines.last().trimmed());
    return description;
}

QString integerText(int value)
{
    return QString::number(value);
}

std::optional<int> readInteger(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

QString booleanText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

std::optional<bool> readBoolean(const QString& text)
{
    if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    return std::nullopt;
}

QString colourText(const QColor& colour, const QColor& windowText)
{
    const int value = windowsValue(colour);
    if (value == windowsValue(windowText))
        return WindowTextName;
    for (const NamedColour& named : BasicColours)
        if (named.windowsValue == value)
            return QLatin1String(named.name);
    return QString::number(value);
}

std::optional<QColor> readColour(const QString& text, const QColor& windowText)
{
    if (text.compare(WindowTextName, Qt::CaseInsensitive) == 0)
        return windowText;
    for (const NamedColour& named : BasicColours)
        if (text.compare(QLatin1String(named.name), Qt::CaseInsensitive) == 0)
            return fromWindowsValue(named.windowsValue);
    const std::optional<int> value = readInteger(text);
    if (!value || *value < 0 || *value > 0xFFFFFF)
        return std::nullopt;
    return fromWindowsValue(*value);
}

void writeDescriptionLines(platform::IniFile& file, const QByteArray& section, const QStringList& lines)
{
    int number = 0;
    for (const QString& line : lines)
        file.setValue(section, lineKey(number++), '\'' + line.toLatin1() + '\'');
    for (; file.hasKey(section, lineKey(number)); ++number)
        file.removeKey(section, lineKey(number));
}

QStringList readDescriptionLines(const platform::IniFile& file, const QByteArray& section)
{
    QStringList lines;
    const qsizetype keys = file.keys(section).size();
    for (int number = 0; number < keys && file.hasKey(section, lineKey(number)); ++number)
        lines << unquoted(QString::fromLatin1(file.value(section, lineKey(number))));
    return lines;
}

QByteArray columnText(int position, int width, int marker, bool visible, int sortIndex)
{
    const int dropDownRows = 7;
    const int dropDownWidth = 0;
    QByteArrayList numbers;
    for (int number : {position, width, marker, visible ? 1 : 0, sortIndex, dropDownRows, dropDownWidth})
        numbers << QByteArray::number(number);
    return numbers.join(',');
}

StoredColumn readColumnText(const QByteArray& text)
{
    static const QRegularExpression separators(QStringLiteral("[,\\s]+"));
    const QStringList numbers = QString::fromLatin1(text).split(separators, Qt::SkipEmptyParts);
    const auto number = [&](qsizetype index) {
        return index < numbers.size() ? readInteger(numbers[index]) : std::nullopt;
    };
    return {number(0), number(1), number(2), number(4)};
}

} // namespace app
