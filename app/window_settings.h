#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <utility>

#include "app/settings_text.h"

class QWidget;

namespace platform {
class IniFile;
} // namespace platform

namespace app {

// A stored property of a window: the components that lead to its owner (none: the window itself)
// and the property's name. Components are found by their object names, each below the one before.
struct StoredProperty
{
    QList<DescribedComponent> owners;
    QString property;
};

// A window section of conf.ini: its name, the window's class as written, and the stored properties in
// the order of the description.
struct WindowSection
{
    QByteArray name;
    QString windowClass;
    QList<StoredProperty> properties;
};

const WindowSection& mainFormSection();
const WindowSection& updateFormSection();
const WindowSection& graphFormSection();

// The settings file beside the program.
QString settingsFilePath(const QString& programDir);

// What a load did: the problems found, one message (empty when none), and the values applied.
struct SectionLoad
{
    QString problems;
    QList<std::pair<const QObject*, QString>> applied;

    bool wasApplied(const QObject* component, const QString& property) const;
};

// Loads and saves one window section for one window, and remembers whether this run has loaded it.
//
// A section is saved only once this run has loaded it, or found it absent: a window that was never
// shown, or a load that never ran (the first show ended early), keeps the stored section rather than
// having design values written over it.
//
// Stored numbers are bounded as they are applied: a window fits its screen and comes back onto a
// screen when it lies outside every one, panels keep room for the rest of the window, rows and
// columns keep a visible size. Values whose component or property the window lacks are skipped.
class WindowSettings : public QObject
{
public:
    // Belongs to the window (its QObject child).
    WindowSettings(QWidget& window, const WindowSection& section, QString filePath);

    // Applies the stored values. Lines that cannot be read, and values that cannot be applied, are
    // skipped and named in the answer; the rest is applied. Throws when the file cannot be read or the
    // section is not a description at all ("Invalid stream format.").
    SectionLoad load();
    // Writes the window's current values into the file held in memory; nothing when not loaded.
    void writeTo(platform::IniFile& file) const;
    // Reads the file, writes the section and saves the file ("Не удалось записать файл <path>").
    void save() const;

    // From now on the section is loaded each time the window is shown, before its own show handler
    // (problems ignored: the window keeps the values it has), and saved each time the window closes (a
    // failed save is reported and the window closes all the same). The first showing centres the window
    // at the size it has then.
    void followShowAndClose();

    bool loaded() const { return loaded_; }
    // Whether the last load found the section in the file, whether or not it could be read.
    bool sectionFound() const { return sectionFound_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& window_;
    const WindowSection& section_;
    QString filePath_;
    bool loaded_ = false;
    bool sectionFound_ = false;
    bool shownBefore_ = false;
};

} // namespace app
