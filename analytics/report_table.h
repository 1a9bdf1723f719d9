#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/spreadsheet_text.h"

namespace analytics {

struct Cohorts;
struct GroupFigures;
struct LifecycleYear;
struct Seasonality;

// One value of a report table, kept as a number where it is one, so that tables sort by value.
struct ReportCell
{
    enum class Kind {
        Empty,
        Text,
        Count,   // a whole number
        Money,   // two decimals
        Percent, // a share 0..1, written as per cent with one decimal
        Decimal, // one decimal
    };
    Kind kind = Kind::Empty;
    double number = 0;
    QString text;

    static ReportCell empty() { return {}; }
    static ReportCell label(QString text) { return {Kind::Text, 0, std::move(text)}; }
    static ReportCell count(double value) { return {Kind::Count, value, {}}; }
    static ReportCell money(double value) { return {Kind::Money, value, {}}; }
    static ReportCell percent(double share) { return {Kind::Percent, share, {}}; }
    static ReportCell decimal(std::optional<double> value);

    bool isNumber() const { return kind != Kind::Empty && kind != Kind::Text; }
    // As the table shows it and as it leaves the program: Russian decimals ("12,50"), no thousands
    // separator, percents without the sign; a text guarded against being taken for a formula.
    QString display() const;
};

// A table of figures: its column titles and rows of as many cells.
struct ReportTable
{
    QStringList titles;
    std::vector<std::vector<ReportCell>> rows;
    // Per row, the batch it stands for (batch tables only).
    std::vector<std::optional<std::int64_t>> rowBatches;
};

// What a cell of the generations table shows.
enum class CohortValue { Earnings, Downloads, EarningsPerPicture };

ReportTable cohortTable(const Cohorts& cohorts, CohortValue value);
ReportTable lifecycleTable(const std::vector<LifecycleYear>& years);
enum class GroupKind { Batch, Keyword, Folder };
ReportTable groupTable(const std::vector<GroupFigures>& groups, GroupKind kind);
ReportTable seasonalityTable(const Seasonality& seasonality);

// The title line and the given rows (all when none are given) in the form.
QString tableText(const ReportTable& table, platform::SheetForm form, const std::vector<int>& rows = {});

} // namespace analytics
