#include "app/window_settings.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QSplitter>
#include <QWidget>

#include <algorithm>

#include "app/window_placement.h"
#include "browser/picture_grid.h"
#include "platform/handler_guard.h"
#include "platform/ini_file.h"

namespace app {

namespace {

const QString Left = QStringLiteral("Left");
const QString Top = QStringLiteral("Top");
const QString Width = QStringLiteral("Width");
const QString Height = QStringLiteral("Height");
const QString Checked = QStringLiteral("Checked");
const QString ItemIndex = QStringLiteral("ItemIndex");
const QString RowHeight = QStringLiteral("RowHeight");
const QString FontColor = QStringLiteral("Font.Color");

const int MinWindowWidth = 200;
const int MinWindowHeight = 150;
// The strip along a window's top that must lie on a screen, so that it can be grabbed and moved.
const int GripWidth = 50;
const int GripHeight = 20;
const int MinPanelExtent = 20;
// What a panel leaves of its window's width or height for the rest of it.
const int RoomBesidePanel = 100;
const int MinRowHeight = 8;
const int MaxRowHeight = 200;

QList<StoredProperty> windowPlace()
{
    return {{{}, Height}, {{}, Left}, {{}, Top}, {{}, Width}};
}

DescribedComponent panel(const char* name)
{
    return {QLatin1String(name), QStringLiteral("TPanel")};
}

QWidget* findOwner(QWidget& window, const QList<DescribedComponent>& owners)
{
    QWidget* current = &window;
    for (const DescribedComponent& owner : owners)
        if (!(current = current->findChild<QWidget*>(owner.name)))
            return nullptr;
    return current;
}

QColor systemWindowText()
{
    return QGuiApplication::palette().color(QPalette::WindowText);
}

QColor fontColour(const QWidget& widget)
{
    return widget.palette().color(widget.foregroundRole());
}

void setFontColour(QWidget& widget, const QColor& colour)
{
    QPalette palette = widget.palette();
    palette.setColor(widget.foregroundRole(), colour);
    widget.setPalette(palette);
}

// A panel's width or height: its share of the splitter it lies in, taken from or given to its
// neighbour, or its own size elsewhere.
void setExtent(QWidget& panel, Qt::Orientation orientation, int extent)
{
    auto* splitter = qobject_cast<QSplitter*>(panel.parentWidget());
    if (splitter && splitter->orientation() == orientation && splitter->count() > 1) {
        QList<int> sizes = splitter->sizes();
        const int index = splitter->indexOf(&panel);
        const int neighbour = index == 0 ? 1 : index - 1;
        sizes[neighbour] = std::max(0, sizes[neighbour] + sizes[index] - extent);
        sizes[index] = extent;
        splitter->setSizes(sizes);
        return;
    }
    const bool fixed = orientation == Qt::Horizontal ? panel.minimumWidth() == panel.maximumWidth()
                                                     : panel.minimumHeight() == panel.maximumHeight();
    if (fixed && orientation == Qt::Horizontal)
        panel.setFixedWidth(extent);
    else if (fixed)
        panel.setFixedHeight(extent);
    else if (orientation == Qt::Horizontal)
        panel.resize(extent, panel.height());
    else
        panel.resize(panel.width(), extent);
}

bool reachable(const QRect& geometry)
{
    const QRect grip(geometry.left(), geometry.top(), geometry.width(), GripHeight);
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect common = grip & screen->availableGeometry();
        if (common.width() >= std::min(GripWidth, geometry.width()) && common.height() >= GripHeight)
            return true;
    }
    return false;
}

// The stored place of a window, fitted to its screen and brought back onto the primary screen when
// it lies outside every screen.
QRect boundedGeometry(QRect geometry)
{
    const QScreen* screen = QGuiApplication::screenAt(geometry.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect area = screen->availableGeometry();
    geometry.setWidth(std::clamp(geometry.width(), std::min(MinWindowWidth, area.width()), area.width()));
    geometry.setHeight(std::clamp(geometry.height(), std::min(MinWindowHeight, area.height()), area.height()));
    if (!reachable(geometry))
        geometry.moveCenter(area.center());
    return geometry;
}

// Why a stored value could not be applied; empty when it was applied, nullopt when the component
// lacks the property (skipped without a word).
using Applied = std::optional<QString>;
const QString InvalidValue = QStringLiteral("invalid value");

Applied applyWindowPlace(QRect& geometry, const DescribedValue& stored)
{
    const std::optional<int> number = readInteger(stored.value);
    if (!number)
        return InvalidValue;
    if (stored.property == Left)
        geometry.moveLeft(*number);
    else if (stored.property == Top)
        geometry.moveTop(*number);
    else if (stored.property == Width)
        geometry.setWidth(*number);
    else if (stored.property == Height)
        geometry.setHeight(*number);
    else
        return std::nullopt;
    return QString();
}

Applied applyComponentValue(QWidget& window, QWidget& owner, const DescribedValue& stored)
{
    const QString& property = stored.property;
    if (property == Width || property == Height) {
        const std::optional<int> extent = readInteger(stored.value);
        if (!extent)
            return InvalidValue;
        const bool wide = property == Width;
        const int room = (wide ? window.width() : window.height()) - RoomBesidePanel;
        setExtent(owner, wide ? Qt::Horizontal : Qt::Vertical,
                  std::clamp(*extent, MinPanelExtent, std::max(MinPanelExtent, room)));
        return QString();
    }
    if (auto* box = qobject_cast<QAbstractButton*>(&owner); box && property == Checked) {
        const std::optional<bool> checked = readBoolean(stored.value);
        if (!checked)
            return InvalidValue;
        box->setChecked(*checked);
        return QString();
    }
    if (auto* list = qobject_cast<QComboBox*>(&owner); list && property == ItemIndex) {
        const std::optional<int> index = readInteger(stored.value);
        if (!index)
            return InvalidValue;
        if (*index < -1 || *index >= list->count())
            return QStringLiteral("value out of range");
        list->setCurrentIndex(*index);
        return QString();
    }
    if (auto* grid = qobject_cast<browser::PictureGrid*>(&owner); grid && property == RowHeight) {
        const std::optional<int> height = readInteger(stored.value);
        if (!height)
            return InvalidValue;
        grid->setRowHeightSetting(std::clamp(*height, MinRowHeight, MaxRowHeight));
        return QString();
    }
    if (property == FontColor) {
        const std::optional<QColor> colour = readColour(stored.value, systemWindowText());
        if (!colour)
            return InvalidValue;
        setFontColour(owner, *colour);
        return QString();
    }
    return std::nullopt;
}

std::optional<QString> currentValue(const QWidget& window, const QWidget& owner, const QString& property)
{
    if (&owner == &window) {
        const QRect place = window.normalGeometry();
        const std::pair<const QString&, int> values[] = {
            {Left, place.left()}, {Top, place.top()}, {Width, place.width()}, {Height, place.height()}};
        for (const auto& [name, value] : values)
            if (property == name)
                return integerText(value);
        return std::nullopt;
    }
    if (property == Width)
        return integerText(owner.width());
    if (property == Height)
        return integerText(owner.height());
    if (auto* box = qobject_cast<const QAbstractButton*>(&owner); box && property == Checked)
        return booleanText(box->isChecked());
    if (auto* list = qobject_cast<const QComboBox*>(&owner); list && property == ItemIndex)
        return integerText(list->currentIndex());
    if (auto* grid = qobject_cast<const browser::PictureGrid*>(&owner); grid && property == RowHeight)
        return integerText(grid->rowHeightSetting());
    if (property == FontColor)
        return colourText(fontColour(owner), systemWindowText());
    return std::nullopt;
}

} // namespace

const WindowSection& mainFormSection()
{
    static const DescribedComponent Panel1 = panel("Panel1");
    static const DescribedComponent Panel3 = panel("Panel3");
    static const DescribedComponent GroupBox1{QStringLiteral("GroupBox1"), QStringLiteral("TGroupBox")};
    static const auto checkBox = [](const char* name) {
        return DescribedComponent{QLatin1String(name), QStringLiteral("TCheckBox")};
    };
    static const WindowSection section{
        "MainForm", QStringLiteral("TfmMain"),
        windowPlace() + QList<StoredProperty>{
            {{Panel1, Panel3, GroupBox1, checkBox("chShowZero")}, Checked},
            {{Panel1, Panel3, GroupBox1, checkBox("chWithoutFirstDays")}, Checked},
            {{Panel1, Panel3, GroupBox1, panel("Panel2"), {QStringLiteral("cbPeriod"), QStringLiteral("TComboBox")}},
             ItemIndex},
            {{Panel1, {QStringLiteral("picGrid"), QStringLiteral("TDBGridEh")}}, RowHeight},
            {{Panel1, panel("pnLeft")}, Width},
            {{panel("pnBottom")}, Height},
        }};
    return section;
}

const WindowSection& updateFormSection()
{
    static const WindowSection section{"UpdateForm", QStringLiteral("TfmExplorer"), windowPlace()};
    return section;
}

const WindowSection& graphFormSection()
{
    static const QList<DescribedComponent> legend{{QStringLiteral("ScrollBox1"), QStringLiteral("TScrollBox")},
                                                  panel("Panel1")};
    static const auto label = [](const char* name) {
        return StoredProperty{legend + QList<DescribedComponent>{{QLatin1String(name), QStringLiteral("TLabel")}},
                              FontColor};
    };
    static const WindowSection section{
        "GraphForm", QStringLiteral("TfmGraph"),
        windowPlace() + QList<StoredProperty>{label("lbDownloads"), label("lbEnhanced"), label("lbOnDemand"),
                                              label("lbSales")}};
    return section;
}

QString settingsFilePath(const QString& programDir)
{
    return programDir + QStringLiteral("/conf.ini");
}

bool SectionLoad::wasApplied(const QObject* component, const QString& property) const
{
    return applied.contains(std::pair<const QObject*, QString>(component, property));
}

WindowSettings::WindowSettings(QWidget& window, const WindowSection& section, QString filePath)
    : QObject(&window), window_(window), section_(section), filePath_(std::move(filePath))
{
}

SectionLoad WindowSettings::load()
{
    const platform::IniFile file(filePath_);
    loaded_ = true;
    sectionFound_ = file.sectionExists(section_.name);
    if (!sectionFound_)
        return {};
    const WindowDescription description = readWindowDescription(readDescriptionLines(file, section_.name));
    SectionLoad result;
    QStringList problems = description.problems;
    QRect place = window_.normalGeometry();
    bool placeStored = false;
    const auto apply = [&](const DescribedValue& stored, QWidget* owner, const Applied& applied) {
        if (applied && applied->isEmpty())
            result.applied.append({owner, stored.property});
        else if (applied)
            problems << descriptionProblem(stored.line, *applied, stored.property + QStringLiteral(" = ") + stored.value);
    };
    for (const DescribedValue& stored : description.values)
        if (stored.owners.isEmpty()) {
            const Applied applied = applyWindowPlace(place, stored);
            placeStored = placeStored || (applied && applied->isEmpty());
            apply(stored, &window_, applied);
        }
    if (placeStored)
        window_.setGeometry(boundedGeometry(place));
    for (const DescribedValue& stored : description.values)
        if (QWidget* owner = stored.owners.isEmpty() ? nullptr : findOwner(window_, stored.owners))
            apply(stored, owner, applyComponentValue(window_, *owner, stored));
    if (!problems.isEmpty())
        result.problems = QStringLiteral("Settings section \"%1\" of %2:\n%3")
                              .arg(QString::fromLatin1(section_.name), filePath_, problems.join(QLatin1Char('\n')));
    return result;
}

void WindowSettings::writeTo(platform::IniFile& file) const
{
    if (!loaded_)
        return;
    QList<DescribedValue> values;
    for (const StoredProperty& stored : section_.properties)
        if (const QWidget* owner = findOwner(window_, stored.owners))
            if (const std::optional<QString> value = currentValue(window_, *owner, stored.property))
                values << DescribedValue{stored.owners, stored.property, *value};
    writeDescriptionLines(file, section_.name, describeWindow({window_.objectName(), section_.windowClass}, values));
}

void WindowSettings::save() const
{
    platform::IniFile file(filePath_);
    writeTo(file);
    file.save();
}

void WindowSettings::followShowAndClose()
{
    window_.installEventFilter(this);
}

bool WindowSettings::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != &window_ || event->spontaneous())
        return false;
    if (event->type() == QEvent::Show) {
        // A section that cannot be read leaves the window as it is; nothing is reported here.
        try {
            load();
        } catch (const std::exception&) {
        }
        if (!std::exchange(shownBefore_, true))
            centreOnScreen(&window_);
    } else if (event->type() == QEvent::Hide) {
        platform::guarded([this] { save(); });
    }
    return false;
}

} // namespace app
