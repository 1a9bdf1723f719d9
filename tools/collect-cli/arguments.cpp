#include "tools/collect-cli/arguments.h"

#include <QRegularExpression>

namespace collectcli {

namespace {

QByteArray checked(const QString& text, const QRegularExpression& form, const char* what)
{
    if (!form.match(text).hasMatch())
        throw UsageError(std::string(what) + " \"" + text.toStdString() + "\"");
    return text.toLatin1();
}

QByteArray month(const QString& text)
{
    static const QRegularExpression form(QStringLiteral("^\\d{4}-(0[1-9]|1[0-2])$"));
    return checked(text, form, "a month is written yyyy-mm, not");
}

QList<QByteArray> days(const QString& list)
{
    static const QRegularExpression form(QStringLiteral("^(0[1-9]|[12]\\d|3[01])$"));
    QList<QByteArray> days;
    for (const QString& day : list.split(QLatin1Char(',')))
        days.append(checked(day, form, "a day is written 01 to 31, not"));
    return days;
}

const QStringList RunNames = {QStringLiteral("sales"), QStringLiteral("batches"), QStringLiteral("gaps")};

Run run(const QString& text)
{
    const qsizetype index = RunNames.indexOf(text);
    if (index < 0)
        throw UsageError("the run is sales, batches or gaps, not \"" + text.toStdString() + "\"");
    return static_cast<Run>(index);
}

} // namespace

Arguments parseArguments(const QStringList& arguments)
{
    const bool dirGiven = !arguments.isEmpty() && !RunNames.contains(arguments[0]);
    const qsizetype runAt = dirGiven ? 1 : 0;
    Arguments parsed;
    if (dirGiven)
        parsed.programDir = arguments[0];
    if (arguments.size() == runAt + 1 && run(arguments[runAt]) == Run::Gaps) {
        parsed.run = Run::Gaps;
        return parsed;
    }
    if (arguments.size() < runAt + 2)
        throw UsageError("a run and at least one month are needed");
    parsed.run = run(arguments[runAt]);
    if (parsed.run == Run::Gaps)
        throw UsageError("the gaps run takes no months");
    for (qsizetype i = runAt + 1; i < arguments.size(); ++i) {
        if (arguments[i] != QStringLiteral("--days")) {
            parsed.months.append(month(arguments[i]));
            continue;
        }
        if (parsed.run != Run::Sales || i + 1 == arguments.size())
            throw UsageError("--days needs a list DD,DD... and belongs to the sales run");
        parsed.days += days(arguments[++i]);
    }
    if (parsed.months.isEmpty())
        throw UsageError("at least one month is needed");
    return parsed;
}

QString usage()
{
    return QStringLiteral(
        "usage: photoledger-collect [DIR] sales MONTH... [--days DD,DD...]\n"
        "       photoledger-collect [DIR] batches MONTH...\n"
        "       photoledger-collect [DIR] gaps\n"
        "Collects the daily sales or the approved batches of the months (yyyy-mm) from the agency into the\n"
        "program directory DIR (PHOTOLEDGER.GDB, conf.ini with the section [Agency], PREVIEW, Temp).\n"
        "gaps collects the days that the collection log shows as gaps: listed by their month page but\n"
        "not collected, or whose last reading failed.\n"
        "Without DIR, the program's own directory: the one beside this command when it holds the\n"
        "database, otherwise ~/.local/share/photoledger ($XDG_DATA_HOME/photoledger).\n"
        "Exit status: 0 done, 2 stopped by a login prompt, 130 Ctrl+C (SIGINT), 143 SIGTERM, 1 error.\n");
}

} // namespace collectcli
