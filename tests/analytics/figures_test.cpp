// The analytics figures on a small database against the same figures counted here, sale by sale, from
// the rows the test stored: periods that the roll-ups give whole, that cut months, that hold no stored
// day; pictures without batch, folder, keywords or acceptance date; sales before the acceptance date.

#include <gtest/gtest.h>

#include <QSet>

#include <map>

#include "analytics/cohorts.h"
#include "analytics/group_figures.h"
#include "analytics/lifecycle.h"
#include "analytics/seasonality.h"
#include "platform/win1251.h"
#include "tests/support/temp_database.h"

namespace {

using namespace analytics;
using namespace Qt::Literals::StringLiterals;

struct TestPicture
{
    std::int64_t id;
    QDate accepted;       // invalid: none
    std::int64_t batch;   // 0: none
    int folder;           // 0: none, else 1 or 2
    const char* keywords; // null: none
};

struct TestSale
{
    std::int64_t picture;
    QDate day;
    int downloads;
    double regular, onDemand, enhanced;
    double earnings() const { return regular + onDemand + enhanced; }
};

const TestPicture Pictures[] = {
    {1, QDate(2024, 1, 10), 100, 1, "Sunset, sea,  SEA , beach"},
    {2, QDate(2024, 1, 20), 100, 0, "sunset,Tom &amp; Jerry"},
    {3, QDate(2024, 3, 5), 200, 2, " , ,, "},
    {4, QDate(), 0, 0, nullptr},
    {5, QDate(2024, 4, 15), 200, 1, "sea"},
    {6, QDate(2024, 2, 1), 300, 0, "beach"},
};

const TestSale StoredSales[] = {
    {1, QDate(2023, 2, 10), 1, 0.25, 0, 0}, // a year before its acceptance
    {1, QDate(2024, 1, 15), 2, 0.50, 0, 0},
    {1, QDate(2024, 2, 3), 1, 0.25, 0, 0},
    {1, QDate(2024, 3, 20), 2, 0.25, 2.85, 0},
    {2, QDate(2024, 2, 25), 3, 0.75, 0, 0},
    {3, QDate(2024, 3, 10), 1, 0.33, 0, 0},
    {3, QDate(2024, 4, 2), 2, 0.66, 0, 0},
    {4, QDate(2024, 2, 5), 1, 0.25, 0, 28.0},
    {5, QDate(2024, 3, 28), 1, 0.38, 0, 0}, // before its acceptance, in the month before
    {5, QDate(2024, 4, 16), 1, 0.38, 0, 0},
    {6, QDate(2024, 4, 30), 0, 0, 0, 0}, // a row without downloads
};

const QDate FirstStored(2023, 2, 10), LastStored(2024, 4, 30);

QByteArray literal(QDate date)
{
    return "'" + date.toString(QStringLiteral("dd.MM.yyyy")).toLatin1() + "'";
}

QByteArray orNull(const QByteArray& value, bool present)
{
    return present ? value : QByteArray("null");
}

// The reference figures, counted from Pictures and Sales.
struct Reference
{
    Period period;

    bool inPeriod(const TestSale& sale) const { return sale.day >= period.from && sale.day <= period.till; }
    Sales salesOf(std::int64_t picture) const
    {
        Sales sum;
        for (const TestSale& sale : StoredSales)
            if (sale.picture == picture && inPeriod(sale))
                sum += Sales{sale.downloads, sale.earnings()};
        return sum;
    }
    QDate firstMonth() const { return monthOf(std::max(period.from, FirstStored)); }
    QDate lastMonth() const { return monthOf(std::min(period.till, LastStored)); }
    bool holdsStoredDays() const { return period.from <= LastStored && period.till >= FirstStored; }
    double portfolioPerPicture() const
    {
        double sum = 0;
        for (const TestPicture& picture : Pictures)
            sum += salesOf(picture.id).earnings;
        return sum / std::size(Pictures);
    }
    GroupFigures group(const QString& name, const std::function<bool(const TestPicture&)>& member) const
    {
        GroupFigures group;
        group.name = name;
        for (const TestPicture& picture : Pictures) {
            if (!member(picture))
                continue;
            const Sales sales = salesOf(picture.id);
            ++group.pictures;
            group.picturesSold += sales.downloads > 0;
            group.sales += sales;
        }
        if (portfolioPerPicture() > 0)
            group.index = 100 * group.earningsPerPicture() / portfolioPerPicture();
        return group;
    }
};

class FiguresTest : public test_support::DatabaseTest
{
protected:
    void SetUp() override
    {
        const QByteArray top = db.rows("select min(ID) from FOLDERS where ID <> -1").at(0).at(0);
        db.execute("insert into FOLDERS (IDPARENT, TITLE) values (" + top + ", '" +
                   platform::toWin1251(QStringLiteral("Море")) + "')");
        const QByteArray sea = db.rows("select max(ID) from FOLDERS").at(0).at(0);
        db.execute("insert into FOLDERS (IDPARENT, TITLE) values (" + sea + ", '" +
                   platform::toWin1251(QStringLiteral("Закаты")) + "')");
        const QByteArray sunsets = db.rows("select max(ID) from FOLDERS").at(0).at(0);
        for (const TestPicture& p : Pictures) {
            db.execute("insert into PICTURES (ID, IDFOLDER, KEYWORDS, ACCEPT_DATE, IDBATCH) values (" +
                       QByteArray::number(p.id) + ", " +
                       (p.folder == 1   ? sea
                        : p.folder == 2 ? sunsets
                                        : QByteArray("null")) +
                       ", " + orNull("'" + QByteArray(p.keywords ? p.keywords : "") + "'", p.keywords) +
                       ", " + orNull(literal(p.accepted), p.accepted.isValid()) + ", " +
                       orNull(QByteArray::number(p.batch), p.batch) + ")");
        }
        for (const TestSale& s : StoredSales)
            db.execute(
                "insert into SALES (ID, IDPICTURE, \"COUNT\", \"SUM\", ON_DEMAND, ENHANCED, SALE_DATE) "
                "values (gen_id(GEN_SALES_ID, 1), " +
                QByteArray::number(s.picture) + ", " + QByteArray::number(s.downloads) + ", " +
                QByteArray::number(s.regular) + ", " + QByteArray::number(s.onDemand) + ", " +
                QByteArray::number(s.enhanced) + ", " + literal(s.day) + ")");
    }

    data::Connection& connection() { return dm().IBDatabase1; }
    data::Transaction& transaction() { return dm().Transaction; }
};

const Period Periods[] = {
    {QDate(2005, 1, 1), QDate(2030, 12, 31)}, // every stored day: whole months and the per-picture roll-up
    {QDate(2024, 1, 1), QDate(2024, 3, 31)},  // whole months
    {QDate(2024, 1, 16), QDate(2024, 3, 27)}, // cut at both ends, the 28.03 sale left out
    {QDate(2024, 2, 2), QDate(2024, 2, 26)},  // within one month
    {QDate(2024, 3, 20), QDate(2024, 4, 10)}, // two cut months, none whole
    {QDate(2023, 6, 1), QDate(2023, 12, 31)}, // no stored day
    {QDate(2024, 6, 1), QDate(2024, 6, 30)},  // after every stored day
};

std::string periodName(const Period& period)
{
    return QString(period.from.toString(QStringLiteral("dd.MM.yyyy")) + QStringLiteral("-") +
                   period.till.toString(QStringLiteral("dd.MM.yyyy")))
        .toStdString();
}

void expectSame(const GroupFigures& actual, const GroupFigures& expected)
{
    SCOPED_TRACE(expected.name.toStdString());
    EXPECT_EQ(actual.name, expected.name);
    EXPECT_EQ(actual.pictures, expected.pictures);
    EXPECT_EQ(actual.picturesSold, expected.picturesSold);
    EXPECT_EQ(actual.sales.downloads, expected.sales.downloads);
    EXPECT_NEAR(actual.sales.earnings, expected.sales.earnings, 1e-9);
    ASSERT_EQ(actual.index.has_value(), expected.index.has_value());
    if (expected.index) {
        EXPECT_NEAR(*actual.index, *expected.index, 1e-9);
    }
}

TEST_F(FiguresTest, CohortsCountEverySaleOfThePeriodInItsAcceptanceAndSaleMonth)
{
    for (const Period& period : Periods) {
        SCOPED_TRACE(periodName(period));
        const Reference ref{period};
        const Cohorts table = readCohorts(connection(), transaction(), period);
        std::vector<QDate> months;
        for (QDate m = ref.firstMonth(); ref.holdsStoredDays() && m <= ref.lastMonth(); m = m.addMonths(1))
            months.push_back(m);
        EXPECT_EQ(table.saleMonths, months);

        // Rows: pictures accepted by the period's end or sold in it, by acceptance month, undated last.
        std::map<QDate, CohortRow> expected;
        std::map<QDate, std::vector<double>> days;
        for (const TestPicture& p : Pictures) {
            const Sales sales = ref.salesOf(p.id);
            if (p.accepted.isValid() && p.accepted > period.till && sales.downloads == 0 &&
                sales.earnings == 0)
                continue;
            const QDate key = p.accepted.isValid() ? monthOf(p.accepted) : QDate(9999, 1, 1);
            CohortRow& row = expected[key];
            row.acceptMonth = p.accepted.isValid() ? key : QDate();
            row.cells.resize(months.size());
            ++row.pictures;
            row.picturesSold += sales.downloads > 0;
            row.sales += sales;
            QDate firstSale;
            for (const TestSale& s : StoredSales)
                if (s.picture == p.id && s.downloads > 0 && (!firstSale.isValid() || s.day < firstSale))
                    firstSale = s.day;
            if (p.accepted.isValid() && firstSale.isValid())
                days[key].push_back(std::max<qint64>(0, p.accepted.daysTo(firstSale)));
            for (const TestSale& s : StoredSales)
                if (s.picture == p.id && ref.inPeriod(s))
                    row.cells[std::size_t(monthsBetween(months.front(), monthOf(s.day)))] +=
                        Sales{s.downloads, s.earnings()};
        }
        ASSERT_EQ(table.rows.size(), expected.size());
        std::size_t i = 0;
        for (const auto& [key, row] : expected) {
            const CohortRow& actual = table.rows[i++];
            SCOPED_TRACE(key.toString(QStringLiteral("MM.yyyy")).toStdString());
            EXPECT_EQ(actual.acceptMonth, row.acceptMonth);
            EXPECT_EQ(actual.pictures, row.pictures);
            EXPECT_EQ(actual.picturesSold, row.picturesSold);
            EXPECT_EQ(actual.sales.downloads, row.sales.downloads);
            EXPECT_NEAR(actual.sales.earnings, row.sales.earnings, 1e-9);
            EXPECT_EQ(actual.medianDaysToFirstSale, median(days[key]));
            if (key == QDate(2024, 1, 1)) {
                EXPECT_EQ(actual.medianDaysToFirstSale, 18.0) << "0 for the sale before acceptance, and 36";
            }
            ASSERT_EQ(actual.cells.size(), row.cells.size());
            for (std::size_t m = 0; m < row.cells.size(); ++m) {
                EXPECT_EQ(actual.cells[m].downloads, row.cells[m].downloads) << "month " << m;
                EXPECT_NEAR(actual.cells[m].earnings, row.cells[m].earnings, 1e-9) << "month " << m;
            }
        }
    }
}

TEST_F(FiguresTest, LifecycleAveragesEarningsOverThePicturesSeenAtEachAge)
{
    for (const Period& period : Periods) {
        SCOPED_TRACE(periodName(period));
        const Reference ref{period};
        std::map<int, LifecycleYear> expected;
        std::size_t ages = 0;
        for (const TestPicture& p : Pictures) {
            if (!p.accepted.isValid() || p.accepted > period.till)
                continue;
            LifecycleYear& year = expected[p.accepted.year()];
            year.year = p.accepted.year();
            ++year.pictures;
            year.earnings.resize(100);
            year.picturesSeen.resize(100);
            if (ref.holdsStoredDays())
                for (QDate m = ref.firstMonth(); m <= ref.lastMonth(); m = m.addMonths(1)) {
                    const int age = monthsBetween(monthOf(p.accepted), m);
                    if (age >= 0) {
                        ++year.picturesSeen[std::size_t(age)];
                        ages = std::max(ages, std::size_t(age) + 1);
                    }
                }
            if (ref.holdsStoredDays() && monthOf(p.accepted) > ref.lastMonth()) {
                ++year.picturesSeen[0];
                ages = std::max<std::size_t>(ages, 1);
            }
            for (const TestSale& s : StoredSales)
                if (s.picture == p.id && ref.inPeriod(s)) {
                    const int age = std::max(0, monthsBetween(monthOf(p.accepted), monthOf(s.day)));
                    year.earnings[std::size_t(age)] += s.earnings();
                    ages = std::max(ages, std::size_t(age) + 1);
                }
        }
        const std::vector<LifecycleYear> years = readLifecycle(connection(), transaction(), period);
        ASSERT_EQ(years.size(), expected.size());
        for (std::size_t i = 0; const auto& [number, year] : expected) {
            const LifecycleYear& actual = years[i++];
            EXPECT_EQ(actual.year, number);
            EXPECT_EQ(actual.pictures, year.pictures);
            ASSERT_EQ(actual.earnings.size(), ages);
            double total = 0, sofar = 0;
            std::optional<int> halfLife;
            for (std::size_t age = 0; age < ages; ++age)
                total += year.earnings[age];
            for (std::size_t age = 0; age < ages; ++age) {
                EXPECT_NEAR(actual.earnings[age], year.earnings[age], 1e-9) << "age " << age;
                EXPECT_EQ(actual.picturesSeen[age], year.picturesSeen[age]) << "age " << age;
                sofar += year.earnings[age];
                if (!halfLife && total > 0 && sofar >= total / 2)
                    halfLife = int(age);
            }
            EXPECT_EQ(actual.halfLife, halfLife);
        }
    }
}

TEST_F(FiguresTest, BatchesFoldersAndKeywordsAgainstTheirPictures)
{
    const std::map<std::int64_t, QStringList> keywordsOf{{1, {u"sunset"_s, u"sea"_s, u"beach"_s}},
                                                         {2, {u"sunset"_s, u"tom & jerry"_s}},
                                                         {5, {u"sea"_s}},
                                                         {6, {u"beach"_s}}};
    for (const Period& period : Periods) {
        SCOPED_TRACE(periodName(period));
        const Reference ref{period};

        const std::vector<GroupFigures> batches = readBatchFigures(connection(), transaction(), period);
        ASSERT_EQ(batches.size(), 4u);
        // Newest acceptance first, then the pictures without a batch.
        const std::int64_t batchOrder[] = {200, 300, 100};
        for (std::size_t i = 0; i < 3; ++i) {
            const std::int64_t id = batchOrder[i];
            expectSame(batches[i],
                       ref.group(QString::number(id), [&](const TestPicture& p) { return p.batch == id; }));
            EXPECT_EQ(batches[i].batchId, id);
        }
        EXPECT_EQ(batches[0].accepted, QDate(2024, 3, 5)) << "the earliest of its pictures";
        expectSame(batches[3], ref.group(NoBatchName, [](const TestPicture& p) { return p.batch == 0; }));
        EXPECT_FALSE(batches[3].batchId);

        const std::vector<GroupFigures> folders = readFolderFigures(connection(), transaction(), period);
        ASSERT_EQ(folders.size(), 4u) << "every folder, also an empty one";
        expectSame(folders[0], ref.group(u"Мои папки"_s, [](const TestPicture&) { return false; }));
        expectSame(folders[1],
                   ref.group(u"Мои папки / Море"_s, [](const TestPicture& p) { return p.folder == 1; }));
        expectSame(folders[2], ref.group(u"Мои папки / Море / Закаты"_s,
                                         [](const TestPicture& p) { return p.folder == 2; }));
        expectSame(folders[3], ref.group(NoFolderName, [](const TestPicture& p) { return p.folder == 0; }));

        const std::vector<GroupFigures> keywords = readKeywordFigures(connection(), transaction(), period, 1);
        std::map<QString, GroupFigures> expected;
        for (const auto& [id, words] : keywordsOf)
            for (const QString& word : words)
                expected[word] = ref.group(word, [&](const TestPicture& p) {
                    return keywordsOf.contains(p.id) && keywordsOf.at(p.id).contains(word);
                });
        ASSERT_EQ(keywords.size(), expected.size());
        for (std::size_t i = 0; i < keywords.size(); ++i) {
            expectSame(keywords[i], expected.at(keywords[i].name));
            if (i > 0) {
                EXPECT_GE(keywords[i - 1].sales.earnings, keywords[i].sales.earnings);
            }
        }
        EXPECT_EQ(readKeywordFigures(connection(), transaction(), period, 2).size(), 3u)
            << "sunset, sea, beach";
    }
}

TEST_F(FiguresTest, SeasonalityByMonthAndYearAndTheSameDaysAYearEarlier)
{
    struct Case
    {
        Period period;
        bool withoutSingleLicences;
        QDate sameDaysFrom, sameDaysTill;
    };
    const Case cases[] = {
        {Periods[0], false, QDate(2024, 1, 1), LastStored},
        {Periods[0], true, QDate(2024, 1, 1), LastStored},
        {{QDate(2024, 2, 4), QDate(2024, 3, 27)}, false, QDate(2024, 2, 4), QDate(2024, 3, 20)},
        {Periods[5], false, QDate(), QDate()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(periodName(c.period));
        const Seasonality table =
            readSeasonality(connection(), transaction(), c.period, c.withoutSingleLicences);
        const auto earnings = [&](const TestSale& s) {
            return c.withoutSingleLicences ? s.regular : s.earnings();
        };
        std::map<int, std::array<double, 12>> expected;
        for (const TestSale& s : StoredSales)
            if (s.day >= c.period.from && s.day <= c.period.till)
                expected[s.day.year()][std::size_t(s.day.month() - 1)] += earnings(s);
        ASSERT_EQ(table.years.size(), expected.size());
        for (std::size_t i = 0; const auto& [year, months] : expected) {
            EXPECT_EQ(table.years[i].year, year);
            for (std::size_t m = 0; m < 12; ++m)
                EXPECT_NEAR(table.years[i].months[m], months[m], 1e-9) << year << " month " << m + 1;
            ++i;
        }
        EXPECT_EQ(table.sameDaysFrom, c.sameDaysFrom);
        EXPECT_EQ(table.sameDaysTill, c.sameDaysTill);
        double thisYear = 0, lastYear = 0;
        for (const TestSale& s : StoredSales) {
            if (s.day >= c.sameDaysFrom && s.day <= c.sameDaysTill)
                thisYear += earnings(s);
            if (s.day >= c.sameDaysFrom.addYears(-1) && s.day <= c.sameDaysTill.addYears(-1))
                lastYear += earnings(s);
        }
        EXPECT_NEAR(table.thisYear, thisYear, 1e-9);
        EXPECT_NEAR(table.lastYear, lastYear, 1e-9);
    }
}

TEST_F(FiguresTest, APeriodEndingBeforeItBeginsIsRefusedWithItsDates)
{
    const Period backwards{QDate(2024, 3, 1), QDate(2024, 2, 1)};
    const auto message = [&](const std::function<void()>& figure) {
        try {
            figure();
        } catch (const PeriodError& error) {
            return QString::fromUtf8(error.what());
        }
        return QString();
    };
    const QString expected = u"Конец периода (01.02.2024) раньше его начала (01.03.2024)"_s;
    EXPECT_EQ(message([&] { readCohorts(connection(), transaction(), backwards); }), expected);
    EXPECT_EQ(message([&] { readLifecycle(connection(), transaction(), backwards); }), expected);
    EXPECT_EQ(message([&] { readBatchFigures(connection(), transaction(), backwards); }), expected);
    EXPECT_EQ(message([&] { readKeywordFigures(connection(), transaction(), backwards, 1); }), expected);
    EXPECT_EQ(message([&] { readFolderFigures(connection(), transaction(), backwards); }), expected);
    EXPECT_EQ(message([&] { readSeasonality(connection(), transaction(), backwards, false); }), expected);
}

TEST(EmptyDatabaseTest, EveryFigureIsEmptyButTheFoldersThatExist)
{
    test_support::TempDatabase db;
    data::Connection& connection = db.dm().IBDatabase1;
    data::Transaction& transaction = db.dm().Transaction;
    const Period period{QDate(2005, 1, 1), QDate(2030, 1, 1)};
    const Cohorts cohorts = readCohorts(connection, transaction, period);
    EXPECT_TRUE(cohorts.saleMonths.empty());
    EXPECT_TRUE(cohorts.rows.empty());
    EXPECT_TRUE(readLifecycle(connection, transaction, period).empty());
    EXPECT_TRUE(readBatchFigures(connection, transaction, period).empty());
    EXPECT_TRUE(readKeywordFigures(connection, transaction, period, 1).empty());
    const std::vector<GroupFigures> folders = readFolderFigures(connection, transaction, period);
    ASSERT_EQ(folders.size(), 1u);
    EXPECT_EQ(folders[0].pictures, 0);
    EXPECT_FALSE(folders[0].index);
    EXPECT_TRUE(readSeasonality(connection, transaction, period, false).years.empty());
}

} // namespace
