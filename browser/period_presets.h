#pragma once

#include <QDateTime>
#include <QStringList>

#include <optional>

namespace browser {

// The items of the period list, by index.
const QStringList& periodPresetNames();

struct Period
{
    QDateTime from;
    QDateTime till;
};

// The period of the preset with this index relative to "now", whose time of day the day arithmetic
// keeps; no period for an index outside the list (-1: no item selected).
std::optional<Period> presetPeriod(int index, const QDateTime& now);

} // namespace browser
