#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <functional>

#include "data/database_backup.h"
#include "data/database_file.h"
#include "tests/support/temp_database.h"

namespace {

using test_support::DatabaseTest;

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

class BackupTest : public DatabaseTest
{
protected:
    void SetUp() override
    {
        db.execute("insert into FOLDERS (IDPARENT, TITLE) values (null, 'Природа')");
        dm().StoreSale("101", "Закат", "3", "1.00", "2008-05-07", 0);
        dm().StoreSale("102", "Лес", "1", "", "2008-05-07", 0);
        dm().StoreSale("101", "Закат", "2", "25.50", "2008-06-30", 2);
        dm().Transaction.commit();
    }

    std::string databaseName() const { return db.databasePath().toStdString(); }
    QString oldPath() const { return db.databasePath() + QStringLiteral(".old"); }
};

TEST_F(BackupTest, RestoredBackupHoldsEveryRowAndTheReplacedDatabaseIsKept)
{
    const std::vector<QByteArrayList> before = everyRow(db);
    const QString backup = data::backupBesideDatabase(databaseName(), QDateTime({2024, 5, 17}, {3, 30}));
    EXPECT_EQ(backup, db.appDir() + QStringLiteral("/BACKUP/PHOTOLEDGER-20240517-033000.fbk"));
    dm().StoreSale("103", "Море", "4", "2.00", "2008-07-01", 0);
    dm().Transaction.commit();
    dm().IBDatabase1.close();

    data::restoreDatabase(backup, db.databasePath());

    EXPECT_EQ(everyRow(db), before);
    data::Connection old;
    old.setDatabaseName(oldPath().toStdString());
    data::Query sales(old, old.defaultTransaction());
    sales.setText("select count(*) from SALES where IDPICTURE = 103");
    sales.open();
    EXPECT_EQ(sales.field(0).asInt64(), 1) << "the replaced database is kept as .old";
    EXPECT_FALSE(QFileInfo::exists(db.databasePath() + QStringLiteral(".restored")));
}

TEST_F(BackupTest, FolderKeepsTheLatestSevenBackups)
{
    for (int day = 1; day <= 9; ++day)
        data::backupBesideDatabase(databaseName(), QDateTime({2024, 5, day}, {3, 30}));
    const QStringList kept = QDir(db.appDir() + QStringLiteral("/BACKUP")).entryList(QDir::Files, QDir::Name);
    ASSERT_EQ(kept.size(), data::KeptBackups);
    EXPECT_EQ(kept.first(), QStringLiteral("PHOTOLEDGER-20240503-033000.fbk"));
    EXPECT_EQ(kept.last(), QStringLiteral("PHOTOLEDGER-20240509-033000.fbk"));
}

// A backup of a database that is not this program's.
void writeForeignBackup(const QString& dir, const QString& file)
{
    const QString path = dir + QStringLiteral("/OTHER.GDB");
    {
        data::Connection other;
        other.setDatabaseName(path.toStdString());
        other.createDatabase();
        data::Query create(other, other.defaultTransaction());
        create.setText("create table ACCOUNTS (ID integer)");
        create.execute();
        other.close();
    }
    data::backupDatabase(path.toStdString(), file);
}

TEST_F(BackupTest, BadBackupIsRefusedAndTheDatabaseInPlaceStaysUntouched)
{
    const QString whole = db.appDir() + QStringLiteral("/whole.fbk");
    data::backupDatabase(databaseName(), whole);
    QFile wholeFile(whole);
    ASSERT_TRUE(wholeFile.open(QIODevice::ReadOnly));
    const QByteArray backupBytes = wholeFile.readAll();

    struct Case
    {
        const char* name;
        std::function<void(const QString& file)> make;
        QString refusal;
    };
    const auto writeBytes = [](const QString& file, const QByteArray& bytes) {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
    };
    const std::vector<Case> cases = {
        {"cut in the middle",
         [&](const QString& file) { writeBytes(file, backupBytes.left(backupBytes.size() / 2)); },
         QStringLiteral("обрывается раньше конца")},
        {"cut after the header", [&](const QString& file) { writeBytes(file, backupBytes.left(300)); },
         QStringLiteral("обрывается раньше конца")},
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
            data::restoreDatabase(file, db.databasePath());
            ADD_FAILURE() << "restored";
        } catch (const data::BackupError& error) {
            EXPECT_TRUE(QString::fromUtf8(error.what()).contains(c.refusal)) << error.what();
        }
        EXPECT_FALSE(QFileInfo::exists(oldPath()));
        EXPECT_FALSE(QFileInfo::exists(db.databasePath() + QStringLiteral(".restored")));
        EXPECT_EQ(everyRow(db), before);
        dm().IBDatabase1.close();
    }
}

TEST_F(BackupTest, DatabaseOpenElsewhereIsNotReplaced)
{
    const QString backup = db.appDir() + QStringLiteral("/whole.fbk");
    data::backupDatabase(databaseName(), backup);
    dm().Transaction.commitIfActive(); // the data module's connection stays open: another program
    try {
        data::restoreDatabase(backup, db.databasePath());
        ADD_FAILURE() << "restored";
    } catch (const data::BackupError& error) {
        EXPECT_TRUE(QString::fromUtf8(error.what()).contains(QStringLiteral("открыта другой программой")))
            << error.what();
    }
    EXPECT_FALSE(QFileInfo::exists(oldPath()));
}

} // namespace
