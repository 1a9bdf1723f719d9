#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>

#include <cstdint>
#include <map>
#include <optional>
#include <stdexcept>
#include <vector>

namespace data {
class Connection;
class Transaction;
} // namespace data

namespace analytics {

// The days whose sales a figure counts, both included.
struct Period
{
    QDate from;
    QDate till;

    bool operator==(const Period&) const = default;
};

// A period that cannot be counted: its message says why, in Russian, for the window and the tools.
class PeriodError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Throws PeriodError when a date is missing or the period ends before it begins.
void checkPeriod(const Period& period);

// The first day of the date's month.
QDate monthOf(QDate date);
// Whole months from the first date's month to the second's (negative when the second is earlier).
int monthsBetween(QDate from, QDate to);

// Downloads and earnings (regular, on-demand and enhanced together).
struct Sales
{
    std::int64_t downloads = 0;
    double earnings = 0;

    Sales& operator+=(const Sales& other)
    {
        downloads += other.downloads;
        earnings += other.earnings;
        return *this;
    }
};

// What the figures need of a picture. A missing acceptance date, batch or folder is left unset.
struct PictureFacts
{
    std::int64_t id = 0;
    std::optional<QDate> accepted;
    std::optional<std::int64_t> batchId;
    std::optional<int> folderId;
    // Its first day with downloads ever, if it has one.
    std::optional<QDate> firstSale;
    // Its sales in the period read; none when it has no SALES row in it.
    std::optional<Sales> sales;
    // Its keywords as stored (Windows-1251 bytes with HTML character references), when read with them.
    QByteArray keywords;
};

// Sales of the pictures accepted in one month (invalid for those without an acceptance date) within
// one sale month. A pair may come in several pieces (whole months and single days), to be added up.
struct CohortMonth
{
    QDate acceptMonth;
    QDate saleMonth;
    Sales sales;
};

// The sales of the period by acceptance month and sale month.
struct CohortSales
{
    // The months of the period that hold stored days, first and last; invalid when none does.
    QDate firstMonth;
    QDate lastMonth;
    std::vector<CohortMonth> months;
};

enum class WithKeywords { No, Yes };

// Every picture of the database in id order, with its sales in the period. A period that covers every
// stored day is read in the same pass from the per-picture roll-up; any other adds up the pieces as
// readCohortSales takes them.
std::vector<PictureFacts> readPictures(data::Connection& connection, data::Transaction& transaction,
                                       const Period& period, WithKeywords withKeywords = WithKeywords::No);

// The number of pictures accepted in each month up to the day, by the month's first day.
std::map<QDate, int> readAcceptedPictures(data::Connection& connection, data::Transaction& transaction,
                                          QDate till);

// A user folder: its id and its path of titles from the top, joined by " / ".
struct FolderFacts
{
    int id = 0;
    QString path;
};
// The user's folders (not the all-pictures entry), ordered by path.
std::vector<FolderFacts> readFolders(data::Connection& connection, data::Transaction& transaction);

// The sales of the period by acceptance month and sale month, summed by the engine: whole months from
// the roll-up by acceptance month, the days of months that the period cuts from SALES. A month whose missing days
// lie outside the stored days counts as whole.
CohortSales readCohortSales(data::Connection& connection, data::Transaction& transaction,
                            const Period& period);

// The whole portfolio's sales of a day, with regular earnings apart from the single big licences
// (on-demand and enhanced).
struct DaySales
{
    QDate day;
    std::int64_t downloads = 0;
    double regular = 0;
    double singleLicences = 0;
};
// Every stored day in date order.
std::vector<DaySales> readDaySales(data::Connection& connection, data::Transaction& transaction);

} // namespace analytics
