#pragma once

#include <QDateTime>
#include <QStringList>

#include <optional>

namespace browser {

// The items of the period list, by index.
const QStringList& periodPresetNames();

// The indexes of the items.
enum PeriodPreset { Today, Yesterday, WeekStart, MonthStart, YearStart, Last7Days, Last30Days, Last365Days, AllTime };

struct Period
{
    QDateTime from;
    QDateTime till;
};

// The period of the preset with this index relative to "now", whose time of day the day arithmetic
// keeps; no period for an index outside the list (-1: no item selected).
std::optional<Period> presetPeriod(int index, const QDateTime& now);

} // namespace browser
