#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <functional>
#include <stdexcept>

namespace recordcli {

// Wrong arguments: the message is printed with the tool's usage.
class UsageError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

enum ExitStatus {
    Done = 0,
    Failed = 1,
};

// The program directory a tool works on: the one given, or the program's own, found as every tool
// finds it (beside the command when it holds the database, otherwise the user's own).
QString programDir(const QString& given);

// Whether the argument names an existing directory (a DIR rather than a FILE).
bool isDirectory(const QString& argument);

// A day given as dd.mm.yyyy; UsageError saying how a date is written for any other text.
QDate dayArgument(const QString& text);

// Runs a tool's work with its arguments (those after the program's name): a UsageError prints the
// message and the usage, any other error its message, both on standard error with exit status 1.
int runTool(const char* name, const QString& usage, const std::function<int(const QStringList&)>& work);

} // namespace recordcli
