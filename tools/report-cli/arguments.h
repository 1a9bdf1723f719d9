#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include "analytics/reports.h"

namespace reportcli {

// photoledger-report [DIR] REPORT [--from dd.mm.yyyy] [--till dd.mm.yyyy] [--cells
// earnings|downloads|per-picture]
//                    [--min N] [--without-single-licences]
struct Arguments
{
    // Empty when left out: the program's own directory is meant.
    QString programDir;
    analytics::Report report = analytics::Report::Cohorts;
    analytics::ReportOptions options;
};

// The arguments after the program's name; recordcli::UsageError saying what is wrong. Without --from
// and --till the period is that of "за все время" at "now".
Arguments parseArguments(const QStringList& arguments, const QDateTime& now);

QString usage();

} // namespace reportcli
