#include "analytics/reports.h"

#include "analytics/cohorts.h"
#include "analytics/lifecycle.h"
#include "analytics/seasonality.h"

namespace analytics {

namespace {

struct ReportNames
{
    Report report;
    const char* name;
    const char* title;
};

const ReportNames Names[ReportCount] = {
    {Report::Cohorts, "cohorts", "Поколения"}, {Report::Lifecycle, "lifecycle", "Жизненный цикл"},
    {Report::Batches, "batches", "Партии"},    {Report::Keywords, "keywords", "Ключевые слова"},
    {Report::Folders, "folders", "Папки"},     {Report::Seasonality, "seasonality", "Сезонность"},
};

} // namespace

QString reportName(Report report)
{
    return QString::fromLatin1(Names[int(report)].name);
}

QString reportTitle(Report report)
{
    return QString::fromUtf8(Names[int(report)].title);
}

std::optional<Report> reportNamed(const QString& name)
{
    for (const ReportNames& names : Names)
        if (name == QLatin1String(names.name))
            return names.report;
    return std::nullopt;
}

ReportTable readReport(data::Connection& connection, data::Transaction& transaction, Report report,
                       const ReportOptions& options)
{
    const Period& period = options.period;
    switch (report) {
    case Report::Cohorts:
        return cohortTable(readCohorts(connection, transaction, period), options.cohortValue);
    case Report::Lifecycle:
        return lifecycleTable(readLifecycle(connection, transaction, period));
    case Report::Batches:
        return groupTable(readBatchFigures(connection, transaction, period), GroupKind::Batch);
    case Report::Keywords:
        return groupTable(readKeywordFigures(connection, transaction, period, options.minimumPictures),
                          GroupKind::Keyword);
    case Report::Folders:
        return groupTable(readFolderFigures(connection, transaction, period), GroupKind::Folder);
    case Report::Seasonality:
        break;
    }
    return seasonalityTable(readSeasonality(connection, transaction, period, options.withoutSingleLicences));
}

} // namespace analytics
