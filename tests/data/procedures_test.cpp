// The statistics database's own logic: the four selectable procedures on a small seeded portfolio,
// the roll-ups behind them, folder deletion, the schema script runner and database creation.

#include <gtest/gtest.h>

#include <QDate>

#include "data/database_file.h"
#include "data/roll_up_check.h"
#include "data/sql_script.h"
#include "platform/win1251.h"
#include "tests/support/temp_database.h"

namespace {

using test_support::DatabaseTest;

// Folders 2 "B" and 3 "A" under the user's starting folder 1, folder 4 "A1" under 3; pictures 101
// (folder 1, accepted 10.02.2010), 102 (folder 2, no acceptance date), 103 (no folder, never sold) and
// 104 (folder 4). The last stored day is 15.05.2010.
class ProceduresTest : public DatabaseTest
{
protected:
    void SetUp() override
    {
        for (const char* folder : {"(1, 'B')", "(1, 'A')", "(3, 'A1')"})
            db.execute(QByteArray("insert into FOLDERS (IDPARENT, TITLE) values ") + folder);
        addPicture("101, 1, '10.02.2010'");
        addPicture("102, 2, null");
        addPicture("103, null, '01.01.2010'");
        addPicture("104, 4, null");
        addSale(101, "01.03.2010", "3, 0.25, null, null");
        addSale(101, "02.03.2010", "5, 0.5, 1.1, null");
        addSale(101, "05.03.2010", "0, null, null, null"); // a day stored without downloads
        addSale(101, "30.04.2010", "2, 0.5, null, 0.3");
        addSale(101, "15.05.2010", "1, 0.25, null, null");
        addSale(102, "28.02.2010", "7, 1.75, null, null");
        addSale(102, "01.05.2010", "4, 1, 0.5, null");
        addSale(104, "03.03.2010", "2, 0.5, null, null");
    }

    void addPicture(const QByteArray& idFolderAccepted)
    {
        db.execute("insert into PICTURES (ID, IDFOLDER, ACCEPT_DATE) values (" + idFolderAccepted + ")");
    }

    void addSale(int picture, const QByteArray& date, const QByteArray& countAndMoney)
    {
        db.execute("insert into SALES (ID, IDPICTURE, \"COUNT\", \"SUM\", ON_DEMAND, ENHANCED, SALE_DATE) values "
                   "(gen_id(GEN_SALES_ID, 1), " +
                   QByteArray::number(picture) + ", " + countAndMoney + ", '" + date + "')");
    }

    std::vector<QByteArrayList> salesInfo(int folder, const QByteArray& from, const QByteArray& till,
                                          const QByteArray& columns = "IDPICTURE")
    {
        return db.rows("select " + columns + " from SALES_INFO(" + QByteArray::number(folder) + ", '" + from +
                       "', '" + till + "') order by IDPICTURE");
    }

    QByteArrayList pictureInfo(int picture, const QByteArray& from, const QByteArray& till,
                               const QByteArray& columns)
    {
        for (const QByteArrayList& row : salesInfo(-1, from, till, "IDPICTURE, " + columns))
            if (row.first() == QByteArray::number(picture))
                return row.mid(1);
        return {};
    }

    // The picture's totals straight from SALES, as SALES_INFO should give them.
    QByteArrayList totalsFromSales(int picture, const QByteArray& from, const QByteArray& till)
    {
        return db.rows("select coalesce(sum(\"COUNT\"), 0),"
                       " coalesce(sum(cast(coalesce(\"SUM\", 0) as MONEY_TOTAL)), 0),"
                       " coalesce(sum(cast(coalesce(ON_DEMAND, 0) as MONEY_TOTAL)), 0),"
                       " coalesce(sum(cast(coalesce(ENHANCED, 0) as MONEY_TOTAL)), 0),"
                       " coalesce(max(iif(\"COUNT\" > 0, \"COUNT\", null)), 0),"
                       " min(iif(\"COUNT\" > 0, SALE_DATE, null)), max(iif(\"COUNT\" > 0, SALE_DATE, null))"
                       " from SALES where IDPICTURE = " +
                       QByteArray::number(picture) + " and SALE_DATE between '" + from + "' and '" + till + "'")
            .front();
    }

    QByteArray diagram(int picture, const QByteArray& from, const QByteArray& till)
    {
        const auto rows = db.rows("select IDPICTURE, \"DIAGRAM\" from DIAGRAM(" + QByteArray::number(picture) +
                                  ", '" + from + "', '" + till + "')");
        return rows.empty() ? QByteArray("(no row)") : rows.front().at(1);
    }
};

constexpr const char* Totals = "COUNT_SALES, SUM_SALES, SUM_ON_DEMAND, SUM_ON_ENHANCED, MAX_DLS, FIRST_SALE, LAST_SALE";

TEST_F(ProceduresTest, SalesInfoListsEveryPictureOfAllOrOnlyTheFolderOwnPictures)
{
    // Every stored day, one calendar month, and a period of partial months are read in different ways.
    for (const auto& [from, till] : {std::pair{"01.01.2010", "31.12.2010"}, std::pair{"01.03.2010", "31.03.2010"},
                                     std::pair{"02.03.2010", "30.04.2010"}}) {
        const auto ids = [&](int folder) {
            QByteArrayList out;
            for (const QByteArrayList& row : salesInfo(folder, from, till))
                out.append(row.first());
            return out.join(',');
        };
        SCOPED_TRACE(std::string(from) + " - " + till);
        EXPECT_EQ(ids(-1), "101,102,103,104");
        EXPECT_EQ(ids(1), "101");
        EXPECT_EQ(ids(2), "102");
        EXPECT_EQ(ids(3), "") << "a folder lists its own pictures, not those of its sub-folders";
        EXPECT_EQ(ids(4), "104");
    }
}

TEST_F(ProceduresTest, SalesInfoGivesTotalsByKindBestDayAndFirstAndLastSale)
{
    EXPECT_EQ(pictureInfo(101, "01.01.2010", "31.12.2010", Totals),
              QByteArrayList({"11", "1.5", "1.1", "0.3", "5", "01.03.2010", "15.05.2010"}));
    EXPECT_EQ(pictureInfo(103, "01.01.2010", "31.12.2010", Totals),
              QByteArrayList({"0", "0", "0", "0", "0", "", ""}))
        << "a picture without sales is listed with zeros and no dates";
}

// Periods that cut the monthly roll-up in every way: whole months, partial months at one or both
// ends, inside one month, a single day, and an empty (reversed) period; and periods that run past the
// first stored day (28.02) or the last (15.05) from inside a month, alone or with more months.
TEST_F(ProceduresTest, SalesInfoAgreesWithSalesForEveryKindOfPeriod)
{
    const std::pair<const char*, const char*> periods[] = {
        {"01.03.2010", "31.03.2010"}, {"02.03.2010", "30.04.2010"}, {"01.03.2010", "30.04.2010"},
        {"02.03.2010", "04.03.2010"}, {"28.02.2010", "01.05.2010"}, {"15.02.2010", "15.05.2010"},
        {"01.01.2005", "31.12.2019"}, {"30.04.2010", "30.04.2010"}, {"31.03.2010", "01.03.2010"},
        {"01.05.2010", "20.05.2010"}, {"02.05.2010", "31.12.2019"}, {"15.05.2010", "15.05.2010"},
        {"16.05.2010", "31.12.2019"}, {"01.01.2010", "01.03.2010"}, {"10.01.2010", "28.02.2010"},
        {"02.03.2010", "16.05.2010"}, {"20.05.2010", "16.05.2010"},
    };
    for (const auto& [from, till] : periods)
        for (int picture : {101, 102, 103, 104})
            EXPECT_EQ(pictureInfo(picture, from, till, Totals), totalsFromSales(picture, from, till))
                << "picture " << picture << ", " << from << " - " << till;
}

TEST_F(ProceduresTest, EfficacyDividesByTheDaysOnSaleUpToTheLastStoredDay)
{
    // 101: accepted 10.02, last stored day 15.05: 95 days; 11 downloads, 2.90 earned.
    const QByteArrayList full = pictureInfo(101, "01.01.2010", "31.12.2010", "EFFICACY, EFFICACY2");
    EXPECT_NEAR(full.at(0).toDouble(), 2.90 * 30.4375 / 95, 1e-12);
    EXPECT_NEAR(full.at(1).toDouble(), 11.0 / 95, 1e-12);
    // 102 has no acceptance date: on sale since its first sale (28.02), so from the period start 01.03
    // to 15.05: 76 days with 4 downloads and 1.50 earned.
    const QByteArrayList later = pictureInfo(102, "01.03.2010", "31.12.2010", "EFFICACY, EFFICACY2");
    EXPECT_NEAR(later.at(0).toDouble(), 1.50 * 30.4375 / 76, 1e-12);
    EXPECT_NEAR(later.at(1).toDouble(), 4.0 / 76, 1e-12);
    // The same in one calendar month: 01.05 to 15.05, 15 days.
    const QByteArrayList may = pictureInfo(102, "01.05.2010", "31.05.2010", "EFFICACY, EFFICACY2");
    EXPECT_NEAR(may.at(0).toDouble(), 1.50 * 30.4375 / 15, 1e-12);
    EXPECT_NEAR(may.at(1).toDouble(), 4.0 / 15, 1e-12);
    EXPECT_EQ(pictureInfo(103, "01.01.2010", "31.12.2010", "EFFICACY, EFFICACY2"), QByteArrayList({"0", "0"}));
}

TEST_F(ProceduresTest, DiagramStartsAtTheFirstSaleAfterTheLeadingGapAndCountsEveryDayWithoutDownloads)
{
    struct Case
    {
        int picture;
        const char *from, *till, *expected;
    } cases[] = {
        // Leading gap from the acceptance date 10.02; the day stored with 0 downloads is in a gap.
        {101, "01.01.2010", "31.12.2010", "#19,3,5,#58,2,#14,1"},
        {101, "02.03.2010", "30.04.2010", "#0,5,#58,2"},
        {101, "20.02.2010", "10.03.2010", "#9,3,5,#8"},
        // No acceptance date: the leading gap starts with the period.
        {102, "01.05.2010", "31.05.2010", "#0,4,#14"},
        {102, "20.02.2010", "28.02.2010", "#8,7"},
        {103, "01.01.2010", "31.12.2010", "(no row)"},
        {101, "03.03.2010", "29.04.2010", "(no row)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(diagram(c.picture, c.from, c.till), c.expected) << c.picture << ", " << c.from << " - " << c.till;
}

TEST_F(ProceduresTest, DiagramFirstDayItemIsTheFirstSaleOfSalesInfo)
{
    const QByteArray text = diagram(102, "01.01.2010", "31.12.2010");
    const QByteArrayList items = text.split(',');
    ASSERT_TRUE(items.front().startsWith('#'));
    const QDate firstSale = QDate::fromString(QStringLiteral("01.01.2010"), QStringLiteral("dd.MM.yyyy"))
                                .addDays(items.front().mid(1).toInt());
    EXPECT_EQ(pictureInfo(102, "01.01.2010", "31.12.2010", "FIRST_SALE").front(), data::formatDate(firstSale));
}

TEST_F(ProceduresTest, ShowTreeListsTheAllPicturesEntryFirstThenEachFolderBeforeItsSubtree)
{
    db.execute("insert into FOLDERS (IDPARENT, TITLE) values (1, '" +
               platform::toWin1251(QStringLiteral("бюджет")) + "')");
    db.execute("insert into FOLDERS (IDPARENT, TITLE) values (1, '" +
               platform::toWin1251(QStringLiteral("Весна")) + "')");
    db.execute("insert into FOLDERS (IDPARENT, TITLE) values (4, 'A1')");
    QByteArrayList idsAndLevels;
    for (const QByteArrayList& row : db.rows("select ID, IDPARENT, TITLE, LEVEL_NUM from  SHOW_TREE(0, 0)"))
        idsAndLevels.append(row.at(0) + ":" + row.at(3));
    // Siblings by title (alphabetically, whatever the case), then by id.
    EXPECT_EQ(idsAndLevels.join(' '), "-1:1 1:1 3:2 4:3 7:4 2:2 5:2 6:2");
}

TEST_F(ProceduresTest, GraphGivesEveryDayFromTheFirstStoredDayToTheLastInOrder)
{
    const auto rows = db.rows("select COUNT_SALES, SUM_SALES, SUM_ONDEMAND, SUM_ENHANCED, DATE_SALES  from GRAPH");
    const QDate first(2010, 2, 28);
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(first.daysTo(QDate(2010, 5, 15)) + 1));
    for (std::size_t i = 0; i < rows.size(); ++i)
        ASSERT_EQ(rows[i].at(4), data::formatDate(first.addDays(static_cast<qint64>(i)))) << "row " << i;
    EXPECT_EQ(rows[2], QByteArrayList({"5", "0.5", "1.1", "0", "02.03.2010"}));
    EXPECT_EQ(rows[3], QByteArrayList({"2", "0.5", "0", "0", "03.03.2010"})) << "a day with another picture's sale";
    EXPECT_EQ(rows[4], QByteArrayList({"0", "0", "0", "0", "04.03.2010"})) << "a day without sales";
}

TEST_F(ProceduresTest, DeletingAFolderHandsItsPicturesAndSubFoldersToItsParent)
{
    db.execute("delete from FOLDERS where ID = 3");
    EXPECT_EQ(db.rows("select IDPARENT from FOLDERS where ID = 4").front().front(), "1");
    db.execute("update PICTURES set IDFOLDER = 2 where ID = 101");
    db.execute("insert into FOLDERS (ID, IDPARENT, TITLE) values (17, null, 'top')");
    db.execute("insert into FOLDERS (IDPARENT, TITLE) values (17, 'under top')");
    db.execute("update PICTURES set IDFOLDER = 17 where ID = 103");
    db.execute("delete from FOLDERS where ID = 17");
    EXPECT_EQ(db.rows("select IDFOLDER from PICTURES where ID = 103").front().front(), "")
        << "a top-level folder's pictures end up in no folder";
    EXPECT_EQ(db.rows("select count(*) from FOLDERS where IDPARENT is null and TITLE = 'under top'").front().front(),
              "1");
    EXPECT_EQ(db.rows("select count(*) from PICTURES").front().front(), "4");
}

TEST_F(ProceduresTest, TheAllPicturesEntryAndTheLastTopLevelFolderCannotBeDeleted)
{
    EXPECT_THROW(db.execute("delete from FOLDERS where ID = -1"), data::DbError);
    dm().Transaction.commit();
    EXPECT_THROW(db.execute("insert into FOLDERS (IDPARENT, TITLE) values (-1, 'x')"), data::DbError);
    dm().Transaction.commit();
    for (const char* id : {"4", "3", "2"})
        db.execute(QByteArray("delete from FOLDERS where ID = ") + id);
    EXPECT_THROW(db.execute("delete from FOLDERS where ID = 1"), data::DbError);
    dm().Transaction.commit();
    EXPECT_EQ(db.rows("select count(*) from FOLDERS").front().front(), "2");
}

// The roll-ups equal what SALES itself adds up to: after new rows are caught up (also rows changed
// or deleted before that), at once after every change of a row already covered or of a picture's
// acceptance month, after the record store, and after a rebuild from scratch.
TEST_F(ProceduresTest, RollUpsStayExactUnderInsertUpdateAndDelete)
{
    const auto expectExact = [&](const char* after) {
        EXPECT_EQ(data::rollUpDifferences(dm().IBDatabase1), QStringList()) << "after " << after;
    };
    const auto snapshot = [&] {
        std::vector<std::vector<QByteArrayList>> tables;
        for (const auto& recount : data::rollUpRecounts())
            tables.push_back(db.rows(recount.rollUp));
        return tables;
    };

    expectExact("the inserts");
    db.execute("update SALES set \"COUNT\" = 6 where IDPICTURE = 102 and SALE_DATE = '01.05.2010'");
    db.execute("delete from SALES where IDPICTURE = 104");
    expectExact("an update and a delete");

    const char* changes[] = {
        "update SALES set \"COUNT\" = 1 where IDPICTURE = 101 and SALE_DATE = '02.03.2010'", // lowers the best day
        "update SALES set \"COUNT\" = 0 where IDPICTURE = 101 and SALE_DATE = '01.03.2010'", // first sale goes
        "update SALES set \"SUM\" = 0.1, ON_DEMAND = 0.2 where IDPICTURE = 102",
        "update SALES set SALE_DATE = '31.05.2010' where IDPICTURE = 101 and SALE_DATE = '15.05.2010'",
        "update SALES set IDPICTURE = 103 where IDPICTURE = 102 and SALE_DATE = '01.05.2010'",
        "delete from SALES where IDPICTURE = 102 and SALE_DATE = '28.02.2010'",
        "update SALES set \"COUNT\" = \"COUNT\" + 10 where IDPICTURE = 101 and SALE_DATE = '05.03.2010'",
        "delete from SALES where IDPICTURE = 101 and SALE_DATE = '30.04.2010'",
        // A new month with a new best day and an earlier first sale, which then go again.
        "insert into SALES (ID, IDPICTURE, \"COUNT\", \"SUM\", SALE_DATE) values (100, 101, 20, 5, '01.01.2010')",
        "update SALES set \"COUNT\" = 0 where IDPICTURE = 101 and SALE_DATE = '01.01.2010'",
        "delete from SALES where IDPICTURE = 101 and SALE_DATE = '01.01.2010'",
        "delete from SALES where IDPICTURE = 103", // the picture's last month goes
        "update PICTURES set ACCEPT_DATE = '31.03.2010' where ID = 101", // its months to another acceptance month
        "update PICTURES set ACCEPT_DATE = '01.03.2010', TITLE = 'same month' where ID = 101",
        "update PICTURES set ACCEPT_DATE = null where ID = 101",
        "update PICTURES set ACCEPT_DATE = '28.02.2010' where ID = 102",
        // Sales of a picture missing from PICTURES count once the picture comes, and no more when it goes.
        "insert into SALES (ID, IDPICTURE, \"COUNT\", \"SUM\", SALE_DATE) values (101, 106, 3, 0.75, '02.03.2010')",
        "insert into PICTURES (ID, ACCEPT_DATE) values (106, '01.02.2010')",
        "update PICTURES set ID = 107 where ID = 106",
        "update PICTURES set ID = 106, ACCEPT_DATE = null where ID = 107",
        "delete from PICTURES where ID = 102",
    };
    for (const char* change : changes) {
        db.execute(change);
        expectExact(change);
    }

    dm().StoreSale("101", "t", "4", "1.25", "2010-06-02", 0);
    dm().StoreSale("105", "new", "1", "0.25", "2010-06-02", 0);
    dm().StoreSale("101", "t", "2", "0.5", "2010-03-31", 0);
    dm().Transaction.commit();
    expectExact("the record store");
    dm().UpdatePicture("105", "accepted", "01.05.2010", "", "");
    expectExact("a picture's acceptance date from the record store");

    const auto kept = snapshot();
    db.execute("execute procedure REBUILD_ROLL_UPS");
    EXPECT_EQ(snapshot(), kept) << "a rebuild changes nothing";
}

TEST_F(ProceduresTest, TheReadingProceduresSeeNewSalesAtOnce)
{
    addSale(103, "20.05.2010", "9, 2.25, null, null");
    EXPECT_EQ(pictureInfo(103, "01.01.2010", "31.12.2010", "COUNT_SALES, MAX_DLS"), QByteArrayList({"9", "9"}));
    addSale(103, "21.05.2010", "1, 0.25, null, null");
    EXPECT_EQ(diagram(103, "01.05.2010", "31.05.2010"), "#19,9,1");
    addSale(103, "22.05.2010", "3, 0.75, null, null");
    EXPECT_EQ(db.rows("select COUNT_SALES, DATE_SALES from GRAPH").back(), QByteArrayList({"3", "22.05.2010"}));
}

TEST(SqlScriptTest, SplitsAtTheTerminatorOutsideCommentsAndQuotes)
{
    const QByteArray script = "-- a comment; with a terminator\n"
                              "create table T (A varchar(10));\n"
                              "/* another; */ insert into T values ('x;''y');\n"
                              "SET TERM ^ ;\n"
                              "create procedure P as begin insert into T values (';'); end^\n"
                              "SET TERM ; ^\n"
                              "select \"A;\" from T";
    const std::vector<QByteArray> expected = {
        "create table T (A varchar(10))",
        "insert into T values ('x;''y')",
        "create procedure P as begin insert into T values (';'); end",
        "select \"A;\" from T",
    };
    EXPECT_EQ(data::splitSqlScript(script), expected);
}

// A new database starts with the all-pictures entry and the user's top-level folder, whose id comes
// from the generator: the first show selects a folder 0 before the all-pictures entry.
TEST_F(DatabaseTest, CreateDatabaseFileRefusesAnExistingFileAndLeavesItAlone)
{
    EXPECT_THROW(data::createDatabaseFile(db.databasePath()), data::DbError);
    const auto titles = db.rows("select ID, TITLE from FOLDERS order by ID");
    ASSERT_EQ(titles.size(), 2u);
    EXPECT_EQ(titles[0].at(0), "-1");
    EXPECT_EQ(platform::fromWin1251(titles[0].at(1)), QStringLiteral("Все изображения"));
    EXPECT_EQ(platform::fromWin1251(titles[1].at(1)), QStringLiteral("Мои папки"));
    EXPECT_NE(titles[1].at(0), "0");
    EXPECT_EQ(titles[1].at(0), db.rows("select gen_id(GEN_FOLDERS_ID, 0) from RDB$DATABASE").front().front());
}

} // namespace
