// Where the program keeps its files, and the first start that makes that directory.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <stdexcept>

#include "data/dm.h"
#include "data/program_directory.h"

using data::prepareProgramDirectory;
using data::programDirectory;

namespace {

// Sets an environment variable for the life of the object, then puts back what was there.
class ScopedEnvironment
{
public:
    ScopedEnvironment(const char* name, const QString& value)
        : name_(name), old_(qgetenv(name)), had_(qEnvironmentVariableIsSet(name))
    {
        qputenv(name, value.toUtf8());
    }
    ~ScopedEnvironment() { had_ ? qputenv(name_, old_) : qunsetenv(name_); }

private:
    const char* name_;
    QByteArray old_;
    bool had_;
};

QString path(const QTemporaryDir& dir, const char* name)
{
    return dir.filePath(QString::fromLatin1(name));
}

} // namespace

TEST(ProgramDirectory, BesideTheExecutableWhenItHoldsTheDatabaseOtherwiseTheUsersOwn)
{
    QTemporaryDir root;
    ASSERT_TRUE(QDir().mkpath(path(root, "portable")) && QDir().mkpath(path(root, "installed")));
    QFile database(path(root, "portable/PHOTOLEDGER.GDB"));
    ASSERT_TRUE(database.open(QIODevice::WriteOnly));
    const ScopedEnvironment home("HOME", path(root, "home"));

    EXPECT_EQ(programDirectory(path(root, "portable")), path(root, "portable"));
    {
        const ScopedEnvironment xdg("XDG_DATA_HOME", path(root, "xdg"));
        EXPECT_EQ(programDirectory(path(root, "installed")), path(root, "xdg/photoledger"));
    }
    for (const char* unusable : {"", "relative/data"}) {
        const ScopedEnvironment xdg("XDG_DATA_HOME", QString::fromLatin1(unusable));
        EXPECT_EQ(programDirectory(path(root, "installed")), path(root, "home/.local/share/photoledger"))
            << unusable;
    }
}

TEST(ProgramDirectory, AFirstStartMakesTheDirectoryAndALaterOneKeepsTheDatabase)
{
    QTemporaryDir root;
    const QString dir = path(root, "share/photoledger");
    prepareProgramDirectory(dir);
    EXPECT_TRUE(QFileInfo(dir + QStringLiteral("/PREVIEW")).isDir());
    EXPECT_TRUE(QFileInfo(dir + QStringLiteral("/Temp")).isDir());
    EXPECT_EQ(QDir(dir).entryList(QDir::Files), QStringList(QStringLiteral("PHOTOLEDGER.GDB")));

    {
        data::Tdm dm(dir);
        dm.DataModuleCreate();
        dm.qrExecute.setText("insert into PICTURES (ID, TITLE) values (7, 'kept')");
        dm.qrExecute.execute();
        dm.Transaction.commit();
        dm.IBDatabase1.close();
    }
    prepareProgramDirectory(dir);
    data::Tdm dm(dir);
    dm.DataModuleCreate();
    dm.qrExecute.setText("select count(*) from PICTURES where ID = 7");
    dm.qrExecute.open();
    EXPECT_EQ(dm.qrExecute.field(0).asInt64(), 1);
    dm.IBDatabase1.close();
}

TEST(ProgramDirectory, ADirectoryThatCannotBeMadeIsAnErrorNamingItAndLeavesNoDatabase)
{
    QTemporaryDir root;
    QFile file(path(root, "a-file"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const QString dir = path(root, "a-file/photoledger");
    try {
        prepareProgramDirectory(dir);
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_TRUE(QString::fromUtf8(error.what()).contains(dir)) << error.what();
    }
    EXPECT_EQ(QDir(root.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
              QStringList(QStringLiteral("a-file")));
}
