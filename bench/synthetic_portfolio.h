#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>

#include <cstdint>
#include <random>
#include <vector>

namespace bench {

struct PortfolioSize
{
    const char* name;
    int pictures;
    int salesRows; // aimed at; the drawn portfolio comes within a few per cent
    int years;     // of sales, from SyntheticPortfolio::firstDay() on
};

inline constexpr PortfolioSize SizeS{"S", 2'000, 150'000, 5};
inline constexpr PortfolioSize SizeM{"M", 20'000, 2'000'000, 5};
inline constexpr PortfolioSize SizeL{"L", 100'000, 10'000'000, 10};

// One picture's entry on a day page: its downloads by kind and their earnings (0 = no such entry).
struct DayEntry
{
    std::int64_t pictureId;
    int regular, onDemand, enhanced;
    double regularMoney, onDemandMoney, enhancedMoney;
    int downloads() const { return regular + onDemand + enhanced; }
};

// A portfolio drawn from a fixed seed and skewed like real sales: every picture has its own daily
// download rate, falling with its popularity rank as a power law, so a few best sellers sell every
// day and most pictures sell now and then. Sales run from firstDay(), the first day of the program's
// "за все время", through whole years to lastDay().
class SyntheticPortfolio
{
public:
    static QDate firstDay() { return QDate(2005, 1, 1); }

    SyntheticPortfolio(const PortfolioSize& size, unsigned seed);
    QDate lastDay() const { return lastDay_; }

    struct Picture
    {
        std::int64_t id;
        QDate onSaleFrom;    // acceptance; also when ACCEPT_DATE is left empty
        bool acceptDateKnown;
        std::int64_t batchId; // 0: no batch
        int folder;           // 0: no folder, else 1..FolderCount
        double dailyRate;     // mean downloads per day
        double price;         // earnings of one regular download
    };
    static constexpr int FolderCount = 12;

    const std::vector<Picture>& pictures() const { return pictures_; }
    // The ids of the pictures with the highest rates, best first.
    std::vector<std::int64_t> bestSellers(int count) const;
    // The entries of one day page, drawn with this generator.
    std::vector<DayEntry> dayEntries(QDate day, std::mt19937_64& random) const;

    // Creates the database file with all the years of sales, loaded in bulk with forced
    // writes off and the roll-up trigger inactive, then builds the roll-ups in one pass, refreshes the
    // index statistics and turns forced writes on. Returns the SALES rows.
    std::int64_t writeDatabase(const QString& path) const;

private:
    double calibratedBaseRate(int targetRows) const;
    std::vector<double> rankFactors_;
    std::vector<Picture> pictures_;
    QDate lastDay_;
    unsigned seed_;
};

} // namespace bench
