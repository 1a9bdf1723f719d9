#pragma once

#include <QString>

#include <optional>

#include "analytics/group_figures.h"
#include "analytics/report_table.h"

namespace analytics {

// The analytics reports, in the order of the window's tabs.
enum class Report { Cohorts, Lifecycle, Batches, Keywords, Folders, Seasonality };
inline constexpr int ReportCount = 6;

// The report's name on the command line ("cohorts", ...) and its tab title ("Поколения", ...).
QString reportName(Report report);
QString reportTitle(Report report);
std::optional<Report> reportNamed(const QString& name);

// What a report is asked for besides its period.
struct ReportOptions
{
    Period period;
    CohortValue cohortValue = CohortValue::Earnings;
    int minimumPictures = DefaultMinimumPictures;
    bool withoutSingleLicences = false;
};

// Reads the report's figures from the database and lays them out as its table.
ReportTable readReport(data::Connection& connection, data::Transaction& transaction, Report report,
                       const ReportOptions& options);

} // namespace analytics
