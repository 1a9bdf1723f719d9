#include <QFile>

#include <gtest/gtest.h>

#include "data/database_service.h"
#include "data/roll_up_check.h"
#include "tests/support/temp_database.h"

namespace {

class CheckTest : public test_support::DatabaseTest
{
protected:
    void SetUp() override
    {
        dm().StoreSale("101", "a", "3", "1.00", "2008-05-07", 0);
        dm().StoreSale("101", "a", "2", "0.50", "2008-05-09", 0);
        dm().StoreSale("102", "b", "1", "0.25", "2008-06-01", 0);
        dm().Transaction.commit();
    }
};

TEST_F(CheckTest, SoundDatabasePassesValidationAndEveryRecount)
{
    EXPECT_EQ(data::DatabaseService(dm().IBDatabase1).validate(), QStringList());
    EXPECT_EQ(data::rollUpDifferences(dm().IBDatabase1), QStringList());
}

TEST_F(CheckTest, ValidationReportsGarbledDataPages)
{
    // Enough rows, in a table without triggers, for the middle of the file to be their data pages.
    db.execute("execute block as declare i int = 0; begin while (i < 100000) do begin"
               " insert into CALENDAR values (dateadd(:i day to date '1900-01-01'), mod(:i, 53), 'mo');"
               " i = i + 1; end end");
    dm().IBDatabase1.close();
    QFile file(db.databasePath());
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    constexpr qint64 page = 8192;
    const qint64 middle = file.size() / page / 2;
    for (qint64 garbled = middle; garbled < middle + 3; ++garbled) {
        file.seek(garbled * page + 40); // past the page header, into its records
        file.write(QByteArray(3000, '\xab'));
    }
    file.close();

    const QStringList problems = data::DatabaseService(dm().IBDatabase1).validate();

    EXPECT_FALSE(problems.filter(QStringLiteral("CALENDAR) : ")).isEmpty())
        << problems.join(QLatin1Char('\n')).toStdString();
}

TEST_F(CheckTest, DamagedRollUpsAreListedRowByRow)
{
    const struct
    {
        const char* damage;
        QStringList differences;
    } cases[] = {
        {"update SALES_BY_DAY set COUNT_SALES = 9 where SALE_DATE = '2008-05-07'",
         {QStringLiteral("SALES_BY_DAY, SALE_DATE 07.05.2008: COUNT_SALES 9, по SALES 3")}},
        {"delete from SALES_BY_MONTH where IDPICTURE = 102",
         {QStringLiteral(
             "SALES_BY_MONTH, IDPICTURE 102, MONTH_START 01.06.2008: строки нет, по SALES COUNT_SALES 1,"
             " SUM_SALES 0.25, SUM_ON_DEMAND 0, SUM_ENHANCED 0, MAX_DLS 1, FIRST_SALE 01.06.2008,"
             " LAST_SALE 01.06.2008")}},
        {"insert into SALES_BY_PICTURE values (100, 1, 1, 0, 0, 1, '2008-01-01', '2008-01-01')",
         {QStringLiteral(
             "SALES_BY_PICTURE, IDPICTURE 100: лишняя строка, по SALES её нет (COUNT_SALES 1, SUM_SALES 1,"
             " SUM_ON_DEMAND 0, SUM_ENHANCED 0, MAX_DLS 1, FIRST_SALE 01.01.2008, LAST_SALE 01.01.2008)")}},
        {"update SALES_BY_PICTURE set SUM_SALES = 1.49, LAST_SALE = '2008-05-08' where IDPICTURE = 101",
         {QStringLiteral(
             "SALES_BY_PICTURE, IDPICTURE 101: SUM_SALES 1.49, по SALES 1.5; LAST_SALE 08.05.2008, по SALES"
             " 09.05.2008")}},
        {"update SALES_BY_COHORT set PICTURE_MONTHS = 2, SUM_SALES = 1.25 where MONTH_START = '2008-05-01'",
         {QStringLiteral("SALES_BY_COHORT, ACCEPT_MONTH 31.12.9999, MONTH_START 01.05.2008: PICTURE_MONTHS 2, по"
                         " SALES 1; SUM_SALES 1.25, по SALES 1.5")}},
        {"delete from SALES_BY_DAY where SALE_DATE = '2008-05-09'",
         {QStringLiteral(
             "SALES_BY_DAY, SALE_DATE 09.05.2008: строки нет, по SALES SALES_ROWS 1, COUNT_SALES 2,"
             " SUM_SALES 0.5, SUM_ON_DEMAND 0, SUM_ENHANCED 0")}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.damage);
        db.execute(c.damage);
        EXPECT_EQ(data::rollUpDifferences(dm().IBDatabase1), c.differences);
        db.execute("execute procedure REBUILD_ROLL_UPS");
        EXPECT_EQ(data::rollUpDifferences(dm().IBDatabase1), QStringList()) << "after the rebuild";
    }
}

} // namespace
