#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <functional>

#include "data/database_backup.h"
#include "data/database_file.h"
#include "tests/support/firebird_server.h"
#include "tests/support/temp_database.h"

// Each case on the file beside the program and on a database on the test's Firebird server, whose
// backups are sent to and read from this computer.

namespace {

enum class Place { File, Server };

// Every stored row of the statistics, in a fixed order.
std::vector<QByteArrayList> everyRow(test_support::TempDatabase& db)
{
    std::vector<QByteArrayList> rows;
    for (const char* sql :
         {"select * from FOLDERS order by ID", "select * from PICTURES order by ID",
          "select * from SALES order by ID", "select * from SALES_BY_MONTH order by 1, 2",
          "select * from SALES_BY_PICTURE order by 1", "select * from SALES_BY_DAY order by 1"}) {
        std::vector<QByteArrayList> table = db.rows(sql);
        rows.insert(rows.end(), table.begin(), table.end());
    }
    return rows;
}

class BackupTest : public ::testing::TestWithParam<Place>
{
protected:
    void SetUp() override
    {
        if (GetParam() == Place::Server)
            db.useServer(test_support::FirebirdServer::shared());
        db.execute("insert into FOLDERS (IDPARENT, TITLE) values (null, 'Природа')");
        dm().StoreSale("101", "Закат", "3", "1.00", "2008-05-07", 0);
        dm().StoreSale("102", "Лес", "1", "", "2008-05-07", 0);
        dm().StoreSale("101", "Закат", "2", "25.50", "2008-06-30", 2);
        dm().Transaction.commit();
    }

    data::Tdm& dm() { return db.dm(); }
    const data::Connection& database() { return dm().IBDatabase1; }
    QString oldPath() const { return db.databasePath() + QStringLiteral(".old"); }

    // Restores the backup in place of the database; returns a local database file that holds the
    // replaced one: the file kept as .old, or the server's database restored from the backup kept of it.
    QString restore(const QString& backup)
    {
        if (GetParam() == Place::File) {
            data::restoreDatabase(backup, db.databasePath());
            return oldPath();
        }
        const QString kept = data::restoreOnServer(backup, database(), db.appDir());
        const QString replaced = db.appDir() + QStringLiteral("/replaced.gdb");
        data::restoreDatabase(kept, replaced);
        return replaced;
    }

    test_support::TempDatabase db;
};

TEST_P(BackupTest, RestoredBackupHoldsEveryRowAndTheReplacedDatabaseIsKept)
{
    const std::vector<QByteArrayList> before = everyRow(db);
    const QString backup = data::backupIntoFolder(database(), db.appDir(), QDateTime({2024, 5, 17}, {3, 30}));
    EXPECT_EQ(backup, db.appDir() + QStringLiteral("/BACKUP/PHOTOLEDGER-20240517-033000.fbk"));
    dm().StoreSale("103", "Море", "4", "2.00", "2008-07-01", 0);
    dm().Transaction.commit();
    dm().IBDatabase1.close();

    const QString replaced = restore(backup);

    EXPECT_EQ(everyRow(db), before);
    data::Connection old;
    old.setDatabaseName(replaced.toStdString());
    data::Query sales(old, old.defaultTransaction());
    sales.setText("select count(*) from SALES where IDPICTURE = 103");
    sales.open();
    EXPECT_EQ(sales.field(0).asInt64(), 1) << "the replaced database is kept as .old";
    EXPECT_FALSE(QFileInfo::exists(db.databasePath() + QStringLiteral(".restored")));
}

TEST_P(BackupTest, FolderKeepsTheLatestSevenBackups)
{
    for (int day = 1; day <= 9; ++day)
        data::backupIntoFolder(database(), db.appDir(), QDateTime({2024, 5, day}, {3, 30}));
    const QStringList kept = QDir(db.appDir() + QStringLiteral("/BACKUP")).entryList(QDir::Files, QDir::Name);
    ASSERT_EQ(kept.size(), data::KeptBackups);
    EXPECT_EQ(kept.first(), QStringLiteral("PHOTOLEDGER-20240503-033000.fbk"));
    EXPECT_EQ(kept.last(), QStringLiteral("PHOTOLEDGER-20240509-033000.fbk"));
}

// A backup of a database that is not this program's.
void writeForeignBackup(const QString& dir, const QString& file)
{
    const QString path = dir + QStringLiteral("/OTHER.GDB");
    data::Connection other;
    other.setDatabaseName(path.toStdString());
    other.createDatabase();
    data::Query create(other, other.defaultTransaction());
    create.setText("create table ACCOUNTS (ID integer)");
    create.execute();
    other.close();
    data::backupDatabase(other, file);
}

TEST_P(BackupTest, BadBackupIsRefusedAndTheDatabaseInPlaceStaysUntouched)
{
    const QString whole = db.appDir() + QStringLiteral("/whole.fbk");
    data::backupDatabase(database(), whole);
    QFile wholeFile(whole);
    ASSERT_TRUE(wholeFile.open(QIODevice::ReadOnly));
    const QByteArray backupBytes = wholeFile.readAll();

    struct Case
    {
        const char* name;
        std::function<void(const QString& file)> make;
        QString refusal;
        // The server reads a backup as a stream, whose early end it reports as an error.
        QString serverRefusal = refusal;
    };
    const auto writeBytes = [](const QString& file, const QByteArray& bytes) {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
    };
    const std::vector<Case> cases = {
        {"cut in the middle",
         [&](const QString& file) { writeBytes(file, backupBytes.left(backupBytes.size() / 2)); },
         QStringLiteral("обрывается раньше конца"), QStringLiteral("не является целой резервной копией")},
        {"cut after the header", [&](const QString& file) { writeBytes(file, backupBytes.left(300)); },
         QStringLiteral("обрывается раньше конца"), QStringLiteral("не является целой резервной копией")},
        {"a text file", [&](const QString& file) { writeBytes(file, "ID;TITLE\n1;Закат\n"); },
         QStringLiteral("не является целой резервной копией")},
        {"an empty file", [&](const QString& file) { writeBytes(file, {}); },
         QStringLiteral("не является целой резервной копией")},
        {"another database's backup", [&](const QString& file) { writeForeignBackup(db.appDir(), file); },
         QStringLiteral("резервная копия другой базы данных")},
        {"no file", [](const QString&) {}, QStringLiteral("не найден")},
    };
    const std::vector<QByteArrayList> before = everyRow(db);
    dm().IBDatabase1.close();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString file = db.appDir() + QStringLiteral("/bad.fbk");
        QFile::remove(file);
        c.make(file);
        try {
            restore(file);
            ADD_FAILURE() << "restored";
        } catch (const data::BackupError& error) {
            EXPECT_TRUE(QString::fromUtf8(error.what())
                            .contains(GetParam() == Place::File ? c.refusal : c.serverRefusal))
                << error.what();
        }
        EXPECT_FALSE(QFileInfo::exists(oldPath()));
        EXPECT_FALSE(QDir(db.appDir() + QStringLiteral("/BACKUP")).exists())
            << "nothing replaced, nothing kept";
        EXPECT_FALSE(QFileInfo::exists(db.databasePath() + QStringLiteral(".restored")));
        EXPECT_EQ(everyRow(db), before);
        dm().IBDatabase1.close();
    }
}

TEST_P(BackupTest, DatabaseOpenElsewhereIsNotReplaced)
{
    const QString backup = db.appDir() + QStringLiteral("/whole.fbk");
    data::backupDatabase(database(), backup);
    dm().Transaction.commitIfActive(); // the data module's connection stays open: another program
    try {
        restore(backup);
        ADD_FAILURE() << "restored";
    } catch (const data::BackupError& error) {
        EXPECT_TRUE(QString::fromUtf8(error.what()).contains(QStringLiteral("открыта другой программой")))
            << error.what();
    }
    EXPECT_FALSE(QFileInfo::exists(oldPath()));
    EXPECT_FALSE(QFileInfo::exists(db.databasePath() + QStringLiteral(".restored")));
}

INSTANTIATE_TEST_SUITE_P(Places, BackupTest, ::testing::Values(Place::File, Place::Server),
                         [](const auto& place) { return place.param == Place::File ? "File" : "Server"; });

} // namespace
