// Reading GRAPH for the chart from a real database: every day in order, values as whole numbers.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chart/graph_days.h"
#include "tests/support/temp_database.h"

namespace {

std::string text(const chart::ChartDay& day)
{
    return day.date.toString(QStringLiteral("dd.MM.yyyy")).toStdString() + " " + std::to_string(day.downloads) +
           " " + std::to_string(day.regular) + " " + std::to_string(day.onDemand) + " " +
           std::to_string(day.enhanced);
}

class GraphDaysTest : public test_support::DatabaseTest
{
protected:
    void addSale(const QByteArray& date, const QByteArray& countAndMoney)
    {
        db.execute("insert into SALES (ID, IDPICTURE, \"COUNT\", \"SUM\", ON_DEMAND, ENHANCED, SALE_DATE) values "
                   "(gen_id(GEN_SALES_ID, 1), 7, " +
                   countAndMoney + ", '" + date + "')");
    }

    std::vector<std::string> days()
    {
        std::vector<std::string> texts;
        for (const chart::ChartDay& day : chart::readGraphDays(dm().qrExecute))
            texts.push_back(text(day));
        return texts;
    }
};

TEST_F(GraphDaysTest, ANewDatabaseHasNoDays)
{
    EXPECT_TRUE(days().empty());
    EXPECT_EQ(dm().qrExecute.text(), QByteArray(chart::GraphStatement));
}

TEST_F(GraphDaysTest, EveryDayInOrderWithMoneyToTheNearestWholeUnitAndHugeSumsHeld)
{
    db.execute("insert into PICTURES (ID) values (7)");
    addSale("30.12.2009", "40, 12.5, 0.5, 0.5");
    addSale("01.01.2010", "3, 13.5, 2.5, null");
    addSale("02.01.2010", "null, 500000000000000, null, 1.5");
    EXPECT_EQ(days(), (std::vector<std::string>{"30.12.2009 40 12 0 0", "31.12.2009 0 0 0 0",
                                                "01.01.2010 3 14 2 0", "02.01.2010 0 1000000000 0 2"}));
    EXPECT_TRUE(dm().qrExecute.isOpen());
    EXPECT_TRUE(dm().qrExecute.eof()) << "left at the end of the rows";

    // 12.5 + 0.5 + 0.5 taken to the even neighbour each is 12: the total's point lies at 1000 - 36 - 50.
    const chart::ChartLook look{{Qt::gray, 150}, {Qt::red, 50}, {Qt::green, 25}, {Qt::black, 0}};
    EXPECT_EQ(chart::seriesPoints(chart::readGraphDays(dm().qrExecute).front(), look, 1000).total, 914);
}

} // namespace
