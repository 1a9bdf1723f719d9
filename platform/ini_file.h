#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace platform {

// An INI file held in memory: sections in square brackets with key=value lines, both kept in file
// order. Names and values are bytes, written back as they were read (no character-set conversion).
// Section and key names match without regard to the case of ASCII letters, as the Windows profile
// functions do; the first of two equal keys wins. Comment lines (";" or "#") survive a save. A UTF-8
// byte order mark at the start of the file is skipped (and not written back).
class IniFile
{
public:
    // Reads the file; a missing file is an empty one. Throws std::runtime_error when the file exists
    // but cannot be read, so that a later save cannot overwrite what could not be read.
    explicit IniFile(QString path);

    const QString& path() const { return path_; }

    QList<QByteArray> sections() const;
    bool sectionExists(const QByteArray& section) const;
    QList<QByteArray> keys(const QByteArray& section) const;
    bool hasKey(const QByteArray& section, const QByteArray& key) const;
    QByteArray value(const QByteArray& section, const QByteArray& key,
                     const QByteArray& defaultValue = {}) const;

    // Replaces the key's value in place, or appends the key (and the section) when missing.
    void setValue(const QByteArray& section, const QByteArray& key, const QByteArray& value);
    void removeKey(const QByteArray& section, const QByteArray& key);
    void eraseSection(const QByteArray& section);

    // Writes the whole file through a temporary file, so a failed save leaves the old file intact.
    // Throws std::runtime_error("Не удалось записать файл <path>") when it cannot be written.
    void save() const;

private:
    // A key=value line, or (key empty) a line kept verbatim such as a comment.
    struct Line
    {
        QByteArray key;
        QByteArray value;
        QByteArray verbatim;
    };
    struct Section
    {
        QByteArray name;
        QList<Line> lines;
    };

    void parse(const QByteArray& bytes);
    Section& sectionNamed(const QByteArray& name); // appended when missing
    qsizetype sectionIndex(const QByteArray& name) const; // -1 when missing
    static qsizetype keyIndex(const Section& section, const QByteArray& key);

    QString path_;
    QList<QByteArray> preamble_; // lines before the first section header
    QList<Section> sections_;
};

} // namespace platform
