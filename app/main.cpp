#include <QCoreApplication>

#include <cstdlib>

#include "app/application.h"
#include "app/program.h"
#include "data/program_directory.h"
#include "platform/handler_guard.h"

int main(int argc, char** argv)
{
    app::Application application(argc, argv);
    const QString programDir = data::programDirectory(QCoreApplication::applicationDirPath());
    if (!platform::guarded([&] { data::prepareProgramDirectory(programDir); }))
        return EXIT_FAILURE;
    app::Program program(programDir);
    return program.started() ? program.run() : EXIT_FAILURE;
}
