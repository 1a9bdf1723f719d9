#include "tools/record-cli/tool_support.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <cstdio>
#include <exception>

#include "data/program_directory.h"

namespace recordcli {

QString programDir(const QString& given)
{
    return given.isEmpty() ? data::programDirectory(QCoreApplication::applicationDirPath())
                           : QDir(given).absolutePath();
}

bool isDirectory(const QString& argument)
{
    return QFileInfo(argument).isDir();
}

QDate dayArgument(const QString& text)
{
    static const QRegularExpression form(QStringLiteral("^\\d{2}\\.\\d{2}\\.\\d{4}$"));
    const QDate date = QDate::fromString(text, QStringLiteral("dd.MM.yyyy"));
    if (!form.match(text).hasMatch() || !date.isValid())
        throw UsageError(QStringLiteral("a date is written dd.mm.yyyy, not \"%1\"").arg(text).toStdString());
    return date;
}

int runTool(const char* name, const QString& usage, const std::function<int(const QStringList&)>& work)
{
    try {
        return work(QCoreApplication::arguments().mid(1));
    } catch (const UsageError& error) {
        std::fprintf(stderr, "%s: %s\n%s", name, error.what(), usage.toUtf8().constData());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", name, error.what());
    }
    return Failed;
}

} // namespace recordcli
