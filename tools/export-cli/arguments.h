#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include "browser/picture_list_statement.h"
#include "tools/record-cli/tool_support.h"

namespace exportcli {

// photoledger-export [DIR] [--from dd.mm.yyyy] [--till dd.mm.yyyy] [--folder ID] [--keywords TEXT] [--zero]
// photoledger-export [DIR] --ledger FILE
struct Arguments
{
    // Empty when left out: the program's own directory is meant.
    QString programDir;
    browser::PictureListFilter filter;
    // Where the whole record goes as a ledger instead of the list; empty for the list.
    QString ledgerFile;
};

using recordcli::UsageError;

// The arguments after the program's name; UsageError saying what is wrong. Without --from and --till
// the period is that of "за все время" at "now"; without --folder the list holds all pictures.
Arguments parseArguments(const QStringList& arguments, const QDateTime& now);

QString usage();

} // namespace exportcli
