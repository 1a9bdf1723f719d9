#include "data/program_directory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <stdexcept>

#include "data/database_file.h"
#include "data/database_location.h"
#include "data/dm.h"

namespace data {

namespace {

[[noreturn]] void fail(const QString& message)
{
    throw std::runtime_error(message.toStdString());
}

void makeFolder(const QString& path)
{
    if (!QDir().mkpath(path) || !QFileInfo(path).isWritable())
        fail(QStringLiteral("Не удалось создать папку %1 или записать в неё").arg(path));
}

// The database is made under a temporary name and takes its own name only when complete, so that an
// interrupted creation never leaves a half-made file where the program looks for its database.
void createDatabase(const QString& dir)
{
    const QString path = databasePath(dir);
    const QString partial = path + QStringLiteral(".new");
    QFile::remove(partial);
    try {
        createDatabaseFile(partial);
    } catch (const DbError& e) {
        QFile::remove(partial);
        fail(QStringLiteral("Не удалось создать базу данных в папке %1: %2")
                 .arg(dir, QString::fromUtf8(e.what())));
    }
    // A rename never replaces an existing file, so a database made meanwhile by another start stays.
    if (!QFile::rename(partial, path)) {
        QFile::remove(partial);
        if (!QFileInfo::exists(path))
            fail(QStringLiteral("Не удалось создать базу данных %1").arg(path));
    }
}

} // namespace

QString programDirectory(const QString& executableDir)
{
    if (QFileInfo::exists(databasePath(executableDir)))
        return QDir::cleanPath(executableDir);
    return userProgramDirectory();
}

QString userProgramDirectory()
{
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (!QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(base + QStringLiteral("/photoledger"));
}

QString databasePath(const QString& dir)
{
    return dir + QLatin1Char('/') + QLatin1String(Tdm::DatabaseFileName);
}

void prepareProgramDirectory(const QString& dir)
{
    makeFolder(dir);
    makeFolder(dir + QStringLiteral("/PREVIEW"));
    makeFolder(dir + QStringLiteral("/Temp"));
    if (!readDatabaseLocation(dir).onServer() && !QFileInfo::exists(databasePath(dir)))
        createDatabase(dir);
}

} // namespace data
