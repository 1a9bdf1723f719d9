#include "bench/synthetic_portfolio.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <numeric>

#include "data/connection.h"
#include "data/database_file.h"
#include "data/dataset.h"
#include "data/statement.h"
#include "tools/agency-sim/thumbnail.h"

namespace bench {

namespace {

constexpr double RankExponent = 0.8;
constexpr double OnDemandChance = 0.04, EnhancedChance = 0.004;
constexpr double OnDemandPrice = 2.85, EnhancedPrice = 28.0;
constexpr int PreviewBytes = 4096;
constexpr std::int64_t RowsPerTransaction = 200'000;

const char* const Words[] = {"sunset", "beach", "sea",    "sky",    "city",  "night", "winter", "snow",
                             "forest", "tree",  "flower", "summer", "house", "road",  "river",  "mountain",
                             "people", "woman", "man",    "child",  "food",  "fruit", "coffee", "business",
                             "office", "money", "travel", "animal", "dog",   "cat"};

double uniform(std::mt19937_64& random)
{
    return std::uniform_real_distribution<double>(0.0, 1.0)(random);
}

// Downloads on a day with at least one: a Poisson count of mean rate, drawn given that it is not 0.
int positiveDownloads(double rate, std::mt19937_64& random)
{
    const double u = uniform(random);
    double probability = rate * std::exp(-rate) / -std::expm1(-rate);
    double cumulative = probability;
    int downloads = 1;
    while (u > cumulative && downloads < 10'000) {
        ++downloads;
        probability *= rate / downloads;
        cumulative += probability;
    }
    return downloads;
}

QByteArray keywordsFor(std::mt19937_64& random)
{
    QByteArrayList words;
    for (int i = 0; i < 12; ++i)
        words.append(Words[random() % std::size(Words)]);
    return words.join(", ");
}

// A real small JPEG, as the agency serves them. The draws that random bytes once took are still
// taken, so that the keywords and sales stay those of earlier portfolios of the same seed.
QByteArray previewFor(std::int64_t pictureId, unsigned seed, std::mt19937_64& random)
{
    random.discard(PreviewBytes);
    const std::string jpeg = agencysim::thumbnailJpeg(seed, pictureId);
    return QByteArray(jpeg.data(), static_cast<qsizetype>(jpeg.size()));
}

data::Value moneyOrNull(double money)
{
    return money > 0 ? data::Value::real(money) : data::Value();
}

// Runs statements of a bulk load in the connection's transaction, committing every so many rows.
class BulkLoader
{
public:
    explicit BulkLoader(data::Connection& connection) : connection_(connection) {}

    void run(const QByteArray& sql)
    {
        data::Query query(connection_, connection_.defaultTransaction());
        query.setText(sql);
        query.execute();
        connection_.defaultTransaction().commit();
    }

    std::int64_t firstValue(const QByteArray& sql)
    {
        data::Query query(connection_, connection_.defaultTransaction());
        query.setText(sql);
        query.open();
        return query.field(0).asInt64();
    }

    std::unique_ptr<data::Statement> prepare(const QByteArray& sql)
    {
        return std::make_unique<data::Statement>(connection_, connection_.defaultTransaction().handle(), sql);
    }

    void insert(data::Statement& statement, const std::vector<data::Value>& values)
    {
        statement.execute(connection_.defaultTransaction().handle(), values);
        if (++rows_ % RowsPerTransaction == 0)
            connection_.defaultTransaction().commit();
    }

    void commit()
    {
        connection_.defaultTransaction().commitIfActive();
    }

private:
    data::Connection& connection_;
    std::int64_t rows_ = 0;
};

} // namespace

SyntheticPortfolio::SyntheticPortfolio(const PortfolioSize& size, unsigned seed)
    : lastDay_(firstDay().addYears(size.years).addDays(-1)), seed_(seed)
{
    std::mt19937_64 random(seed);
    std::vector<int> ranks(static_cast<std::size_t>(size.pictures));
    std::iota(ranks.begin(), ranks.end(), 1);
    std::shuffle(ranks.begin(), ranks.end(), random);
    const int saleDays = static_cast<int>(firstDay().daysTo(lastDay()));
    for (int i = 0; i < size.pictures; ++i) {
        const int rank = ranks[static_cast<std::size_t>(i)];
        Picture picture;
        picture.id = 100'000'000 + 37LL * i;
        picture.onSaleFrom = firstDay().addDays(static_cast<qint64>(random() % static_cast<unsigned>(saleDays - 60)));
        picture.acceptDateKnown = uniform(random) < 0.95;
        picture.batchId = uniform(random) < 0.8 ? 5'000'000 + i / 25 : 0;
        picture.folder = uniform(random) < 0.3 ? 1 + static_cast<int>(random() % FolderCount) : 0;
        picture.price = rank <= size.pictures / 20 ? 0.38 : rank <= size.pictures / 4 ? 0.33 : 0.25;
        rankFactors_.push_back(std::pow(static_cast<double>(rank), -RankExponent));
        pictures_.push_back(picture);
    }
    const double base = calibratedBaseRate(size.salesRows);
    for (std::size_t i = 0; i < pictures_.size(); ++i)
        pictures_[i].dailyRate = base * rankFactors_[i];
}

// The rate of the best seller that makes the expected number of sale days the target.
double SyntheticPortfolio::calibratedBaseRate(int targetRows) const
{
    const auto expectedRows = [&](double base) {
        double rows = 0;
        for (std::size_t i = 0; i < pictures_.size(); ++i)
            rows += static_cast<double>(pictures_[i].onSaleFrom.daysTo(lastDay()) + 1) *
                    -std::expm1(-base * rankFactors_[i]);
        return rows;
    };
    double low = 1e-3, high = 1e4;
    for (int step = 0; step < 80; ++step) {
        const double middle = std::sqrt(low * high);
        (expectedRows(middle) < targetRows ? low : high) = middle;
    }
    return low;
}

std::vector<std::int64_t> SyntheticPortfolio::bestSellers(int count) const
{
    std::vector<const Picture*> byRate;
    for (const Picture& picture : pictures_)
        byRate.push_back(&picture);
    std::sort(byRate.begin(), byRate.end(), [](auto a, auto b) { return a->dailyRate > b->dailyRate; });
    std::vector<std::int64_t> ids;
    for (int i = 0; i < count && i < static_cast<int>(byRate.size()); ++i)
        ids.push_back(byRate[static_cast<std::size_t>(i)]->id);
    return ids;
}

std::vector<DayEntry> SyntheticPortfolio::dayEntries(QDate day, std::mt19937_64& random) const
{
    std::vector<DayEntry> entries;
    for (const Picture& picture : pictures_) {
        if (picture.onSaleFrom > day || uniform(random) >= -std::expm1(-picture.dailyRate))
            continue;
        const int downloads = positiveDownloads(picture.dailyRate, random);
        DayEntry entry{picture.id, downloads, 0, 0, 0, 0, 0};
        entry.onDemand = uniform(random) < OnDemandChance ? 1 : 0;
        entry.enhanced = uniform(random) < EnhancedChance ? 1 : 0;
        entry.regular = std::max(0, downloads - entry.onDemand - entry.enhanced);
        entry.regularMoney = entry.regular * picture.price;
        entry.onDemandMoney = entry.onDemand * OnDemandPrice;
        entry.enhancedMoney = entry.enhanced * EnhancedPrice;
        entries.push_back(entry);
    }
    return entries;
}

std::int64_t SyntheticPortfolio::writeDatabase(const QString& path) const
{
    data::createDatabaseFile(path);
    data::Connection connection;
    connection.setDatabaseName(path.toStdString());
    connection.setForcedWrites(false);
    BulkLoader loader(connection);
    // The folders lie under the new database's top-level folder and take the generator's next ids.
    const std::int64_t topFolder = loader.firstValue("select min(ID) from FOLDERS where ID <> -1");
    for (int folder = 1; folder <= FolderCount; ++folder)
        loader.run("insert into FOLDERS (IDPARENT, TITLE) values (" + QByteArray::number(qlonglong(topFolder)) +
                   ", 'Folder " + QByteArray::number(folder) + "')");

    std::mt19937_64 random(seed_ + 1);
    auto insertPicture = loader.prepare("insert into PICTURES (ID, IDFOLDER, TITLE, KEYWORDS, ACCEPT_DATE, IDBATCH, "
                                        "IMAGE) values (?, ?, ?, ?, ?, ?, ?)");
    for (const Picture& p : pictures_) {
        loader.insert(*insertPicture,
                      {data::Value::integer(p.id), p.folder ? data::Value::integer(topFolder + p.folder) : data::Value(),
                       data::Value::text("Synthetic picture " + QByteArray::number(static_cast<qlonglong>(p.id))),
                       data::Value::text(keywordsFor(random)),
                       p.acceptDateKnown ? data::Value::date(p.onSaleFrom) : data::Value(),
                       p.batchId ? data::Value::integer(p.batchId) : data::Value(),
                       data::Value::text(previewFor(p.id, seed_, random))});
    }

    // The index is built once after the load, by one sort, instead of row by row in day order.
    loader.run("ALTER TRIGGER SALES_ROLL_UP INACTIVE");
    loader.run("ALTER INDEX SALES_PICTURE_DATE INACTIVE");
    auto insertSale = loader.prepare("insert into SALES (ID, IDPICTURE, \"COUNT\", \"SUM\", ON_DEMAND, ENHANCED, "
                                     "SALE_DATE) values (?, ?, ?, ?, ?, ?, ?)");
    std::int64_t rows = 0;
    for (QDate day = firstDay(); day <= lastDay(); day = day.addDays(1)) {
        for (const DayEntry& e : dayEntries(day, random)) {
            loader.insert(*insertSale, {data::Value::integer(++rows), data::Value::integer(e.pictureId),
                                        data::Value::integer(e.downloads()), moneyOrNull(e.regularMoney),
                                        moneyOrNull(e.onDemandMoney), moneyOrNull(e.enhancedMoney),
                                        data::Value::date(day)});
        }
    }
    loader.commit();
    insertPicture.reset();
    insertSale.reset();
    loader.run("ALTER SEQUENCE GEN_SALES_ID RESTART WITH " + QByteArray::number(static_cast<qlonglong>(rows)));
    loader.run("ALTER INDEX SALES_PICTURE_DATE ACTIVE");
    loader.run("EXECUTE PROCEDURE REBUILD_ROLL_UPS");
    loader.run("ALTER TRIGGER SALES_ROLL_UP ACTIVE");
    data::refreshIndexStatistics(connection);
    connection.close();
    connection.setForcedWrites(true);
    connection.connect();
    connection.close();
    return rows;
}

} // namespace bench
