#include "platform/ini_file.h"

#include <stdexcept>

#include <QFile>
#include <QSaveFile>

#include "platform/ascii_text.h"

namespace platform {
namespace {

bool isSectionHeader(const QByteArray& line)
{
    return line.startsWith('[') && line.endsWith(']');
}

bool isComment(const QByteArray& line)
{
    return line.startsWith(';') || line.startsWith('#');
}

// Editors on Windows start UTF-8 files with a byte order mark; it belongs to no line.
QByteArrayView withoutByteOrderMark(QByteArrayView bytes)
{
    constexpr QByteArrayView Utf8ByteOrderMark("\xEF\xBB\xBF");
    return bytes.startsWith(Utf8ByteOrderMark) ? bytes.sliced(Utf8ByteOrderMark.size()) : bytes;
}

} // namespace

IniFile::IniFile(QString path) : path_(std::move(path))
{
    QFile file(path_);
    if (!file.exists())
        return;
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("Не удалось прочитать файл " + path_.toStdString());
    parse(file.readAll());
}

void IniFile::parse(const QByteArray& bytes)
{
    Section* current = nullptr;
    for (const QByteArray& rawLine : withoutByteOrderMark(bytes).toByteArray().split('\n')) {
        const QByteArray line = rawLine.trimmed();
        if (line.isEmpty())
            continue;
        if (isSectionHeader(line)) {
            current = &sectionNamed(line.mid(1, line.size() - 2).trimmed());
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        const bool keyLine = current && !isComment(line) && equals > 0;
        if (keyLine)
            current->lines.append({line.left(equals).trimmed(), line.mid(equals + 1).trimmed(), {}});
        else if (current)
            current->lines.append({{}, {}, line});
        else
            preamble_.append(line);
    }
}

IniFile::Section& IniFile::sectionNamed(const QByteArray& name)
{
    const qsizetype index = sectionIndex(name);
    if (index >= 0)
        return sections_[index];
    sections_.append({name, {}});
    return sections_.last();
}

qsizetype IniFile::sectionIndex(const QByteArray& name) const
{
    for (qsizetype i = 0; i < sections_.size(); ++i)
        if (equalsIgnoreAsciiCase(sections_[i].name, name))
            return i;
    return -1;
}

qsizetype IniFile::keyIndex(const Section& section, const QByteArray& key)
{
    for (qsizetype i = 0; i < section.lines.size(); ++i)
        if (!section.lines[i].key.isEmpty() && equalsIgnoreAsciiCase(section.lines[i].key, key))
            return i;
    return -1;
}

QList<QByteArray> IniFile::sections() const
{
    QList<QByteArray> names;
    for (const Section& section : sections_)
        names.append(section.name);
    return names;
}

bool IniFile::sectionExists(const QByteArray& section) const
{
    return sectionIndex(section) >= 0;
}

QList<QByteArray> IniFile::keys(const QByteArray& section) const
{
    QList<QByteArray> names;
    const qsizetype index = sectionIndex(section);
    if (index >= 0)
        for (const Line& line : sections_[index].lines)
            if (!line.key.isEmpty())
                names.append(line.key);
    return names;
}

bool IniFile::hasKey(const QByteArray& section, const QByteArray& key) const
{
    const qsizetype index = sectionIndex(section);
    return index >= 0 && keyIndex(sections_[index], key) >= 0;
}

QByteArray IniFile::value(const QByteArray& section, const QByteArray& key,
                          const QByteArray& defaultValue) const
{
    const qsizetype index = sectionIndex(section);
    if (index < 0)
        return defaultValue;
    const qsizetype line = keyIndex(sections_[index], key);
    return line >= 0 ? sections_[index].lines[line].value : defaultValue;
}

void IniFile::setValue(const QByteArray& section, const QByteArray& key, const QByteArray& value)
{
    Section& target = sectionNamed(section);
    const qsizetype line = keyIndex(target, key);
    if (line >= 0)
        target.lines[line].value = value;
    else
        target.lines.append({key, value, {}});
}

void IniFile::removeKey(const QByteArray& section, const QByteArray& key)
{
    const qsizetype index = sectionIndex(section);
    if (index < 0)
        return;
    const qsizetype line = keyIndex(sections_[index], key);
    if (line >= 0)
        sections_[index].lines.removeAt(line);
}

void IniFile::eraseSection(const QByteArray& section)
{
    const qsizetype index = sectionIndex(section);
    if (index >= 0)
        sections_.removeAt(index);
}

void IniFile::save() const
{
    QByteArray text;
    for (const QByteArray& line : preamble_)
        text += line + '\n';
    for (const Section& section : sections_) {
        if (!text.isEmpty())
            text += '\n';
        text += '[' + section.name + "]\n";
        for (const Line& line : section.lines)
            text += (line.key.isEmpty() ? line.verbatim : line.key + '=' + line.value) + '\n';
    }
    QSaveFile file(path_);
    const bool written = file.open(QIODevice::WriteOnly) && file.write(text) == text.size() && file.commit();
    if (!written)
        throw std::runtime_error("Не удалось записать файл " + path_.toStdString());
}

} // namespace platform
