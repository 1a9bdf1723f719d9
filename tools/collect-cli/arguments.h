#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <stdexcept>

namespace collectcli {

enum class Run {
    Sales,
    Batches,
    Gaps,
};

// photoledger-collect [DIR] sales MONTH... [--days DD,DD...]
// photoledger-collect [DIR] batches MONTH...
// photoledger-collect [DIR] gaps
struct Arguments
{
    // Empty when left out: the program's own directory is meant.
    QString programDir;
    Run run = Run::Sales;
    QList<QByteArray> months; // yyyy-mm, in the order given
    QList<QByteArray> days;   // 01 to 31
};

class UsageError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The arguments after the program's name; UsageError saying what is wrong.
Arguments parseArguments(const QStringList& arguments);

QString usage();

} // namespace collectcli
