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

Run run(const QString& text)
{
    if (text == QStringLiteral("sales"))
        return Run::Sales;
    if (text == QStringLiteral("batches"))
        return Run::Batches;
    throw UsageError("the run is sales or batches, not \"" + text.toStdString() + "\"");
}

} // namespace

Arguments parseArguments(const QStringList& arguments)
{
    const bool dirGiven = !arguments.isEmpty() && arguments[0] != QStringLiteral("sales") &&
                          arguments[0] != QStringLiteral("batches");
    const qsizetype runAt = dirGiven ? 1 : 0;
    if (arguments.size() < runAt + 2)
        throw UsageError("a run and at least one month are needed");
    Arguments parsed;
    if (dirGiven)
        parsed.programDir = arguments[0];
    parsed.run = run(arguments[runAt]);
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
        "Collects the daily sales or the approved batches of the months (yyyy-mm) from the agency into the\n"
        "program directory DIR (PHOTOLEDGER.GDB, conf.ini with the section [Agency], PREVIEW, Temp).\n"
        "Without DIR, the program's own directory: the one beside this command when it holds the\n"
        "database, otherwise ~/.local/share/photoledger ($XDG_DATA_HOME/photoledger).\n"
        "Exit status: 0 done, 2 stopped by a login prompt or Ctrl+C, 1 error.\n");
}

} // namespace collectcli
