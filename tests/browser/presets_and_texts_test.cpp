// Period presets on a given "now", the count label's texts and the sort marker cycle.

#include <gtest/gtest.h>

#include "browser/count_label.h"
#include "browser/period_presets.h"
#include "browser/sort_marker.h"

namespace {

using browser::SortMarker;

struct PresetCase
{
    const char* name;
    QDateTime now;
    int index;
    QDate from;
    QDate till;
};

void PrintTo(const PresetCase& c, std::ostream* os)
{
    *os << c.name;
}

const QDateTime SundayMarch14(QDate(2010, 3, 14), QTime(10, 0));

class PeriodPreset : public ::testing::TestWithParam<PresetCase>
{
};

TEST_P(PeriodPreset, GivesThePeriod)
{
    const PresetCase& c = GetParam();
    const std::optional<browser::Period> period = browser::presetPeriod(c.index, c.now);
    ASSERT_TRUE(period);
    EXPECT_EQ(period->from.date(), c.from);
    EXPECT_EQ(period->till.date(), c.till);
}

INSTANTIATE_TEST_SUITE_P(
    Presets, PeriodPreset,
    ::testing::Values(
        PresetCase{"Today", SundayMarch14, 0, QDate(2010, 3, 14), QDate(2010, 3, 14)},
        PresetCase{"Yesterday", SundayMarch14, 1, QDate(2010, 3, 13), QDate(2010, 3, 13)},
        PresetCase{"WeekStartOnSunday", SundayMarch14, 2, QDate(2010, 3, 8), QDate(2010, 3, 14)},
        PresetCase{"MonthStart", SundayMarch14, 3, QDate(2010, 3, 1), QDate(2010, 3, 14)},
        PresetCase{"YearStart", SundayMarch14, 4, QDate(2010, 1, 1), QDate(2010, 3, 14)},
        PresetCase{"Last7DaysIsEightDays", SundayMarch14, 5, QDate(2010, 3, 7), QDate(2010, 3, 14)},
        PresetCase{"Last30Days", SundayMarch14, 6, QDate(2010, 2, 12), QDate(2010, 3, 14)},
        PresetCase{"Last365Days", SundayMarch14, 7, QDate(2009, 3, 14), QDate(2010, 3, 14)},
        PresetCase{"AllTime", SundayMarch14, 8, QDate(2005, 1, 1), QDate(2010, 3, 14)},
        PresetCase{"WeekStartOnMonday", QDateTime(QDate(2010, 3, 8), QTime(9, 0)), 2, QDate(2010, 3, 8),
                   QDate(2010, 3, 8)},
        PresetCase{"YearStartOnNewYear", QDateTime(QDate(2011, 1, 1), QTime(9, 0)), 4, QDate(2011, 1, 1),
                   QDate(2011, 1, 1)},
        PresetCase{"MonthStartOnNewYear", QDateTime(QDate(2011, 1, 1), QTime(9, 0)), 3, QDate(2011, 1, 1),
                   QDate(2011, 1, 1)}),
    [](const ::testing::TestParamInfo<PresetCase>& info) { return std::string(info.param.name); });

TEST(PeriodPresets, KeepTheTimeOfDayExceptAllTimeWhichStartsAtMidnight)
{
    EXPECT_EQ(browser::presetPeriod(5, SundayMarch14)->from.time(), QTime(10, 0));
    EXPECT_EQ(browser::presetPeriod(8, SundayMarch14)->from.time(), QTime(0, 0));
    EXPECT_EQ(browser::presetPeriod(8, SundayMarch14)->till, SundayMarch14);
}

TEST(PeriodPresets, NoItemOrAnUnknownOneChangesNothing)
{
    EXPECT_FALSE(browser::presetPeriod(-1, SundayMarch14));
    EXPECT_FALSE(browser::presetPeriod(9, SundayMarch14));
    EXPECT_EQ(browser::periodPresetNames().size(), 9);
    EXPECT_EQ(browser::periodPresetNames().last(), QStringLiteral("за все время"));
}

TEST(CountLabel, Texts)
{
    EXPECT_EQ(browser::unknownCountText(), QStringLiteral("?"));
    EXPECT_EQ(browser::countText(200), QStringLiteral("200"));
    EXPECT_EQ(browser::partialCountText(0), QStringLiteral("0(?)"));
    EXPECT_EQ(browser::withZeroSales(browser::partialCountText(21), 7), QStringLiteral("21(?) + 7"));
}

TEST(CountLabel, KeywordCountGrowsUntilTheEndAndThenStaysComplete)
{
    using browser::scrolledKeywordCountText;
    EXPECT_EQ(scrolledKeywordCountText(QStringLiteral("21(?)"), 60, false), QStringLiteral("60(?)"));
    EXPECT_EQ(scrolledKeywordCountText(QStringLiteral("21(?) + 7"), 60, false), QStringLiteral("60(?)"));
    EXPECT_EQ(scrolledKeywordCountText(QStringLiteral("60(?)"), 200, true), QStringLiteral("200"));
    EXPECT_EQ(scrolledKeywordCountText(QStringLiteral("200"), 200, false), QStringLiteral("200"));
}

TEST(SortMarkerCycle, NoneDescendingAscendingAndCtrlClears)
{
    using browser::nextSortMarker;
    EXPECT_EQ(nextSortMarker(SortMarker::None, false), SortMarker::Descending);
    EXPECT_EQ(nextSortMarker(SortMarker::Descending, false), SortMarker::Ascending);
    EXPECT_EQ(nextSortMarker(SortMarker::Ascending, false), SortMarker::Descending);
    EXPECT_EQ(nextSortMarker(SortMarker::Ascending, true), SortMarker::None);
    EXPECT_EQ(nextSortMarker(SortMarker::None, true), SortMarker::Descending);
    EXPECT_EQ(nextSortMarker(SortMarker::Descending, true), SortMarker::Ascending);
}

} // namespace
