// photoledger-createdb DIR: makes DIR a program directory with an empty statistics database
// (DIR/PHOTOLEDGER.GDB from the schema script) and the work folders DIR/PREVIEW and DIR/Temp.
// An existing database is never touched: the tool then refuses with a non-zero exit.

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>

#include <cstdio>
#include <exception>

#include "data/dm.h"
#include "data/program_directory.h"

namespace {

void fail(const QString& message)
{
    std::fprintf(stderr, "photoledger-createdb: %s\n", qPrintable(message));
}

int createProgramDirectory(const QString& dir)
{
    const QString database = dir + QLatin1Char('/') + QLatin1String(data::Tdm::DatabaseFileName);
    if (QFileInfo::exists(database)) {
        fail(QStringLiteral("%1 already exists; an existing database is never overwritten").arg(database));
        return 1;
    }
    try {
        data::prepareProgramDirectory(dir);
    } catch (const std::exception& e) {
        fail(QString::fromUtf8(e.what()));
        return 1;
    }
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
