#include "tools/export-cli/arguments.h"

#include <QRegularExpression>

#include "browser/folder_tree.h"
#include "browser/period_presets.h"

namespace exportcli {

namespace {

[[noreturn]] void refuse(const QString& text)
{
    throw UsageError(text.toStdString());
}

int folderId(const QString& text)
{
    static const QRegularExpression form(QStringLiteral("^-?\\d+$"));
    bool ok = false;
    const int id = text.toInt(&ok);
    if (!form.match(text).hasMatch() || !ok)
        refuse(QStringLiteral("a folder is a whole number, not \"%1\"").arg(text));
    return id;
}

} // namespace

Arguments parseArguments(const QStringList& arguments, const QDateTime& now)
{
    const bool dirGiven = !arguments.isEmpty() && !arguments[0].startsWith(QLatin1String("--"));
    Arguments parsed;
    if (dirGiven)
        parsed.programDir = arguments[0];
    browser::PictureListFilter& filter = parsed.filter;
    const browser::Period allTime = *browser::presetPeriod(browser::AllTime, now);
    filter.folderId = browser::AllPicturesFolderId;
    filter.from = allTime.from.date();
    filter.till = allTime.till.date();
    bool listOptionGiven = false;
    for (qsizetype i = dirGiven ? 1 : 0; i < arguments.size(); ++i) {
        const QString& option = arguments[i];
        listOptionGiven = listOptionGiven || option != QLatin1String("--ledger");
        if (option == QLatin1String("--zero")) {
            filter.showZero = true;
            continue;
        }
        static const QStringList valueOptions{QStringLiteral("--from"), QStringLiteral("--till"),
                                              QStringLiteral("--folder"), QStringLiteral("--keywords"),
                                              QStringLiteral("--ledger")};
        if (!valueOptions.contains(option))
            refuse(QStringLiteral("unknown argument \"%1\"").arg(option));
        if (i + 1 == arguments.size())
            refuse(QStringLiteral("%1 needs a value").arg(option));
        const QString& value = arguments[++i];
        if (option == QLatin1String("--from"))
            filter.from = recordcli::dayArgument(value);
        else if (option == QLatin1String("--till"))
            filter.till = recordcli::dayArgument(value);
        else if (option == QLatin1String("--folder"))
            filter.folderId = folderId(value);
        else if (option == QLatin1String("--ledger"))
            parsed.ledgerFile = value;
        else
            filter.keywords = value;
    }
    if (!parsed.ledgerFile.isEmpty() && listOptionGiven)
        refuse(QStringLiteral("--ledger writes the whole record and takes none of the list's options"));
    return parsed;
}

QString usage()
{
    return QStringLiteral(
        "usage: photoledger-export [DIR] [--from dd.mm.yyyy] [--till dd.mm.yyyy] [--folder ID]\n"
        "                          [--keywords TEXT] [--zero]\n"
        "       photoledger-export [DIR] --ledger FILE\n"
        "Prints the picture list of the program directory DIR as CSV (UTF-8, \";\" between fields), as\n"
        "the main window's \"Экспорт в CSV…\" writes it. Defaults: the whole period up to today, all\n"
        "pictures (folder -1), no keywords, only pictures with downloads in the period (--zero adds the\n"
        "others). Without DIR, the program's own directory: the one beside this command when it holds the\n"
        "database, otherwise ~/.local/share/photoledger ($XDG_DATA_HOME/photoledger).\n"
        "--ledger writes instead every folder, picture (without its preview) and sale to FILE, a zip of\n"
        "CSV files that photoledger-import merges into another database.\n"
        "Exit status: 0 done, 1 error.\n");
}

} // namespace exportcli
