#include <QCoreApplication>

#include <cstdlib>

#include "app/application.h"
#include "app/program.h"

int main(int argc, char** argv)
{
    app::Application application(argc, argv);
    app::Program program(QCoreApplication::applicationDirPath());
    return program.started() ? program.run() : EXIT_FAILURE;
}
