#include "tools/report-cli/arguments.h"

#include "browser/period_presets.h"
#include "tools/record-cli/tool_support.h"

namespace reportcli {

namespace {

[[noreturn]] void refuse(const QString& text)
{
    throw recordcli::UsageError(text.toStdString());
}

int minimum(const QString& text)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < 1)
        refuse(QStringLiteral("--min takes a whole number of at least 1, not \"%1\"").arg(text));
    return value;
}

analytics::CohortValue cohortValue(const QString& text)
{
    if (text == QLatin1String("earnings"))
        return analytics::CohortValue::Earnings;
    if (text == QLatin1String("downloads"))
        return analytics::CohortValue::Downloads;
    if (text == QLatin1String("per-picture"))
        return analytics::CohortValue::EarningsPerPicture;
    refuse(QStringLiteral("--cells takes earnings, downloads or per-picture, not \"%1\"").arg(text));
}

} // namespace

Arguments parseArguments(const QStringList& arguments, const QDateTime& now)
{
    Arguments parsed;
    qsizetype at = 0;
    if (arguments.size() > 1 && !analytics::reportNamed(arguments[0]) &&
        !arguments[0].startsWith(QLatin1String("--")))
        parsed.programDir = arguments[at++];
    if (at == arguments.size())
        refuse(QStringLiteral("which report?"));
    const std::optional<analytics::Report> report = analytics::reportNamed(arguments[at]);
    if (!report)
        refuse(QStringLiteral("unknown report \"%1\"").arg(arguments[at]));
    parsed.report = *report;
    const browser::Period allTime = *browser::presetPeriod(browser::AllTime, now);
    analytics::ReportOptions& options = parsed.options;
    options.period = {allTime.from.date(), allTime.till.date()};
    for (++at; at < arguments.size(); ++at) {
        const QString& option = arguments[at];
        if (option == QLatin1String("--without-single-licences")) {
            options.withoutSingleLicences = true;
            continue;
        }
        static const QStringList valueOptions{QStringLiteral("--from"), QStringLiteral("--till"),
                                              QStringLiteral("--cells"), QStringLiteral("--min")};
        if (!valueOptions.contains(option))
            refuse(QStringLiteral("unknown argument \"%1\"").arg(option));
        if (at + 1 == arguments.size())
            refuse(QStringLiteral("%1 needs a value").arg(option));
        const QString& value = arguments[++at];
        if (option == QLatin1String("--from"))
            options.period.from = recordcli::dayArgument(value);
        else if (option == QLatin1String("--till"))
            options.period.till = recordcli::dayArgument(value);
        else if (option == QLatin1String("--cells"))
            options.cohortValue = cohortValue(value);
        else
            options.minimumPictures = minimum(value);
    }
    return parsed;
}

QString usage()
{
    return QStringLiteral(
        "usage: photoledger-report [DIR] cohorts|lifecycle|batches|keywords|folders|seasonality\n"
        "                          [--from dd.mm.yyyy] [--till dd.mm.yyyy]\n"
        "                          [--cells earnings|downloads|per-picture] [--min N] "
        "[--without-single-licences]\n"
        "Prints a table of the analytics window as CSV (UTF-8, \";\" between fields, \",\" before "
        "decimals):\n"
        "  cohorts      pictures by acceptance month, their sales by sale month (--cells: what a cell "
        "holds)\n"
        "  lifecycle    earnings per picture by months since acceptance, per acceptance year\n"
        "  batches      per upload batch; keywords per keyword of at least --min pictures (5); folders\n"
        "  seasonality  earnings by month and year (--without-single-licences: regular downloads only)\n"
        "Defaults: the whole period up to today. Without DIR, the program's own directory: the one beside\n"
        "this command when it holds the database, otherwise ~/.local/share/photoledger.\n"
        "Exit status: 0 done, 1 error.\n");
}

} // namespace reportcli
