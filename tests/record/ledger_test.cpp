#include <QBuffer>

#include <gtest/gtest.h>

#include <functional>

#include "data/ledger.h"
#include "data/roll_up_check.h"
#include "platform/stored_zip.h"
#include "platform/win1251.h"
#include "tests/support/temp_database.h"

namespace {

using test_support::TempDatabase;

void execute(TempDatabase& db, const QString& sql)
{
    db.execute(platform::toWin1251(sql));
}

// Folders in a tree, pictures with texts that need quoting and with empty fields, sales of every kind
// stored as the collector stores them, and one picture without sales.
void fill(TempDatabase& db)
{
    execute(db, QStringLiteral("insert into FOLDERS (ID, IDPARENT, TITLE) values (7, null, 'Природа')"));
    execute(db, QStringLiteral("insert into FOLDERS (ID, IDPARENT, TITLE) values (3, 7, 'Лес, \"осень\"')"));
    execute(db,
            QStringLiteral("insert into PICTURES (ID, IDFOLDER, TITLE, KEYWORDS, ACCEPT_DATE, IDBATCH) values"
                           " (101, 3, 'Закат, \"море\"', 'закат\nморе', '2008-04-01', 9001)"));
    execute(db,
            QStringLiteral("insert into PICTURES (ID, IDFOLDER, \"TYPE\", TITLE) values (102, null, 2, '')"));
    execute(db, QStringLiteral("insert into PICTURES (ID, TITLE) values (103, null)"));
    data::Tdm& dm = db.dm();
    dm.StoreSale("101", "t", "3", "1.00", "2008-05-07", 0);
    dm.StoreSale("101", "t", "1", "35.37", "2008-05-07", 2);
    dm.StoreSale("101", "t", "2", "0.1", "2008-06-30", 1);
    dm.StoreSale("102", "t", "1", "", "2008-05-07", 0);
    dm.StoreSale("102", "t", "4", "12.34", "2009-01-01", 0);
    dm.StoreSale("104", "not in PICTURES", "1", "0.25", "2009-01-02", 0);
    dm.Transaction.commit();
}

QByteArray ledgerOf(TempDatabase& db)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(data::exportLedger(db.dm().IBDatabase1, buffer));
    return buffer.data();
}

// What the program shows of a database: the grid's figures for all time and the portfolio chart.
std::vector<QByteArrayList> shownFigures(TempDatabase& db)
{
    std::vector<QByteArrayList> rows =
        db.rows("select * from SALES_INFO(-1, '01.01.2000', '31.12.2030') order by 1");
    for (const QByteArrayList& row : db.rows("select * from GRAPH"))
        rows.push_back(row);
    for (const QByteArrayList& row : db.rows("select * from FOLDERS order by ID"))
        rows.push_back(row);
    return rows;
}

TEST(LedgerTest, ImportIntoAFreshDatabaseShowsTheSameFiguresAndAgainChangesNothing)
{
    TempDatabase source;
    fill(source);
    const QByteArray ledger = ledgerOf(source);
    const std::vector<QByteArrayList> shown = shownFigures(source);

    TempDatabase target;
    const data::LedgerImport first = data::importLedger(target.dm().IBDatabase1, ledger);
    EXPECT_EQ(first.folders.added, 2);
    EXPECT_EQ(first.folders.equal, 2) << "the starting folders are in every database";
    EXPECT_EQ(first.pictures.added, 4);
    EXPECT_EQ(first.sales.added, 5);
    EXPECT_EQ(shownFigures(target), shown);
    EXPECT_EQ(data::rollUpDifferences(target.dm().IBDatabase1), QStringList());
    EXPECT_EQ(target.rows("select KEYWORDS, TITLE from PICTURES where ID = 101"),
              source.rows("select KEYWORDS, TITLE from PICTURES where ID = 101"));
    EXPECT_EQ(target.rows("select TITLE, TITLE is null from PICTURES where ID in (102, 103) order by ID"),
              source.rows("select TITLE, TITLE is null from PICTURES where ID in (102, 103) order by ID"));

    const data::LedgerImport second = data::importLedger(target.dm().IBDatabase1, ledger);
    EXPECT_EQ(second.folders.added + second.pictures.added + second.sales.added, 0);
    EXPECT_EQ(second.sales.equal, 5);
    EXPECT_TRUE(second.conflicts.isEmpty()) << second.conflicts.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(shownFigures(target), shown);
    EXPECT_EQ(ledgerOf(target).size(), ledger.size());

    target.execute("insert into FOLDERS (IDPARENT, TITLE) values (null, 'new')");
    EXPECT_EQ(target.rows("select max(ID) from FOLDERS"), std::vector<QByteArrayList>{{"8"}})
        << "new folders are numbered past the imported ones";
}

TEST(LedgerTest, ConflictingRowsAreReportedAndKeptWhileTheRestIsAdded)
{
    TempDatabase source;
    fill(source);
    TempDatabase target;
    execute(target, QStringLiteral("insert into PICTURES (ID, TITLE) values (101, 'Другое название')"));
    target.dm().StoreSale("101", "t", "5", "2.00", "2008-05-07", 0);
    target.dm().Transaction.commit();
    const auto kept = target.rows("select IDPICTURE, SALE_DATE, \"COUNT\", \"SUM\" from SALES");

    const data::LedgerImport result = data::importLedger(target.dm().IBDatabase1, ledgerOf(source));

    EXPECT_EQ(result.pictures.conflicting, 1);
    EXPECT_EQ(result.sales.conflicting, 1);
    ASSERT_EQ(result.conflicts.size(), 2);
    EXPECT_EQ(result.conflicts[0].toStdString(),
              "PICTURES.csv, строка 2 (ID 101): IDFOLDER: в базе пусто, в файле 3; TITLE: в базе \"Другое "
              "название\","
              " в файле \"Закат, \"\"море\"\"\"; KEYWORDS: в базе пусто, в файле \"закат\nморе\"; "
              "ACCEPT_DATE: в базе"
              " пусто, в файле 2008-04-01; IDBATCH: в базе пусто, в файле 9001");
    EXPECT_EQ(result.conflicts[1].toStdString(),
              "SALES.csv, строка 2 (IDPICTURE 101, SALE_DATE 2008-05-07): COUNT: в базе 5, в файле 4;"
              " SUM: в базе 2, в файле 1; ENHANCED: в базе пусто, в файле 35.37");
    EXPECT_EQ(
        target.rows("select IDPICTURE, SALE_DATE, \"COUNT\", \"SUM\" from SALES where IDPICTURE = 101 and"
                    " SALE_DATE = '2008-05-07'"),
        kept);
    EXPECT_EQ(result.sales.added, 4);
    EXPECT_EQ(data::rollUpDifferences(target.dm().IBDatabase1), QStringList())
        << "months shared with stored sales";
    target.dm().StoreSale("101", "t", "1", "1.00", "2008-06-30", 2);
    target.dm().Transaction.commit();
    EXPECT_EQ(data::rollUpDifferences(target.dm().IBDatabase1), QStringList()) << "the store after an import";
    EXPECT_EQ(platform::fromWin1251(target.rows("select TITLE from PICTURES where ID = 101")[0][0]),
              QStringLiteral("Другое название"));
}

QByteArray rewritten(const QByteArray& ledger,
                     const std::function<void(std::map<QString, QByteArray>&)>& change)
{
    std::map<QString, QByteArray> members = platform::readStoredZip(ledger);
    change(members);
    std::vector<platform::ZipEntry> entries;
    for (const auto& [name, bytes] : members)
        entries.push_back({name, bytes});
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    platform::writeStoredZip(buffer, entries, QDateTime({2024, 1, 1}, {}));
    return buffer.data();
}

TEST(LedgerTest, BadFileIsRefusedWholeAndChangesNothing)
{
    TempDatabase source;
    fill(source);
    const QByteArray good = ledgerOf(source);
    const auto appendSale = [](const QByteArray& line) {
        return [line](std::map<QString, QByteArray>& m) { m[QStringLiteral("SALES.csv")].append(line); };
    };
    const struct
    {
        const char* name;
        QByteArray file;
        QString refusal;
    } cases[] = {
        {"not a zip", "IDPICTURE,SALE_DATE,COUNT\n101,2008-05-07,3\n",
         QStringLiteral("не является zip-архивом")},
        {"a few bytes", "PK\3\4", QStringLiteral("не является целым zip-архивом")},
        {"cut short", good.left(good.size() - 30), QStringLiteral("не является zip-архивом")},
        {"damaged member", QByteArray(good).replace(good.indexOf("2008-05-07"), 10, "2008-05-08"),
         QStringLiteral("SALES.csv в архиве повреждён")},
        {"no version", rewritten(good, [](auto& m) { m.erase(QStringLiteral("VERSION")); }),
         QStringLiteral("нет VERSION")},
        {"newer format",
         rewritten(good, [](auto& m) { m[QStringLiteral("VERSION")] = "photoledger ledger 2\n"; }),
         QStringLiteral("формат выгрузки 2")},
        {"no sales", rewritten(good, [](auto& m) { m.erase(QStringLiteral("SALES.csv")); }),
         QStringLiteral("нет SALES.csv")},
        {"other header",
         rewritten(good, [](auto& m) { m[QStringLiteral("SALES.csv")].replace("ON_DEMAND", "DEMAND"); }),
         QStringLiteral(
             "SALES.csv: первая строка должна быть IDPICTURE,SALE_DATE,COUNT,SUM,ON_DEMAND,ENHANCED")},
        {"words for a count", rewritten(good, appendSale("105,2009-01-03,many,1,,\n")),
         QStringLiteral("SALES.csv, строка 7: COUNT — целое число, а не «many»")},
        {"a day that is not", rewritten(good, appendSale("105,2009-02-30,1,1,,\n")),
         QStringLiteral("строка 7: SALE_DATE — дата гггг-мм-дд")},
        {"a field too many", rewritten(good, appendSale("105,2009-01-03,1,1,,,\n")),
         QStringLiteral("строка 7: полей 7, а должно быть 6")},
        {"the same sale twice", rewritten(good, appendSale("105,2009-01-03,1,1,,\n105,2009-01-03,2,1,,\n")),
         QStringLiteral("SALES.csv, строка 8: ")},
        {"no picture", rewritten(good, appendSale(",2009-01-03,1,1,,\n")),
         QStringLiteral("строка 7: IDPICTURE не может быть пустым")},
        {"open quote",
         rewritten(good, [](auto& m) { m[QStringLiteral("PICTURES.csv")].append("106,,,\"unclosed,,,,\n"); }),
         QStringLiteral("PICTURES.csv, строка 7: поле в кавычках не закрыто")},
    };
    TempDatabase target;
    const auto storedRows = [&] {
        return target.committedValue("select count(*) from PICTURES") +
               target.committedValue("select count(*) from SALES") +
               target.committedValue("select count(*) from FOLDERS");
    };
    const qint64 rowsBefore = storedRows();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            data::importLedger(target.dm().IBDatabase1, c.file);
            ADD_FAILURE() << "imported";
        } catch (const data::LedgerError& error) {
            EXPECT_TRUE(QString::fromUtf8(error.what()).contains(c.refusal)) << error.what();
        }
        EXPECT_EQ(storedRows(), rowsBefore);
    }
}

} // namespace
