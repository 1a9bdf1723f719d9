// photoledger-createdb DIR: makes DIR a program directory with an empty statistics database
// (DIR/PHOTOLEDGER.GDB from the schema script) and the work folders DIR/PREVIEW and DIR/Temp.
// An existing database is never touched: the tool then refuses with a non-zero exit.

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <cstdio>

#include "data/database_file.h"
#include "data/dm.h"

namespace {

void fail(const QString& message)
{
    std::fprintf(stderr, "photoledger-createdb: %s\n", qPrintable(message));
}

bool makeFolder(const QString& path)
{
    if (QDir().mkpath(path))
        return true;
    fail(QStringLiteral("cannot create the folder %1").arg(path));
    return false;
}

int createProgramDirectory(const QString& dir)
{
    const QString database = dir + QLatin1Char('/') + QLatin1String(data::Tdm::DatabaseFileName);
    if (!makeFolder(dir))
        return 1;
    if (QFileInfo::exists(database)) {
        fail(QStringLiteral("%1 already exists; an existing database is never overwritten").arg(database));
        return 1;
    }
    try {
        data::createDatabaseFile(database);
    } catch (const data::DbError& e) {
        fail(QStringLiteral("cannot create %1: %2").arg(database, QString::fromUtf8(e.what())));
        return 1;
    }
    if (!makeFolder(dir + QStringLiteral("/PREVIEW")) || !makeFolder(dir + QStringLiteral("/Temp")))
        return 1;
    std::printf("Created %s\n", qPrintable(database));
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 2) {
        std::fprintf(stderr, "usage: photoledger-createdb DIR\n");
        return 2;
    }
    return createProgramDirectory(arguments[1]);
}
