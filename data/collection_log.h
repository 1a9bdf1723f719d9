#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QSet>

#include <cstdint>
#include <map>

namespace data {

class Connection;

// How the reading of a day page ended.
enum class DayReadEnd {
    Stored,    // every entry of the page was stored
    Failed,    // an error ended the run on this day; the entries counted were stored before it
    LoginPage, // the agency answered with its login page
};

// The entries of a day page stored so far, with their downloads and earnings as the page gives them.
struct DayTally
{
    int entries = 0;
    std::int64_t downloads = 0;
    double earnings = 0;

    // Counts an entry whose count and earnings ("1.25", empty for none) the record store has taken.
    void add(const QByteArray& count, const QByteArray& money);
};

// The collection log: what every month page listed and how every day page read ended. A record is
// written in the connection's running transaction, which holds the last rows of its page, and is
// committed with them by whatever commits next (the record store commits before every entry), so it
// never claims rows that were not stored.
class CollectionLog
{
public:
    explicit CollectionLog(Connection& connection) : connection_(connection) {}

    // The month page of yyyy-mm read now, listing these days (yyyy-mm-dd); texts that are no date of
    // the month are left out.
    void recordMonthPage(const QByteArray& month, const QList<QByteArray>& listedDays);
    // The day page of yyyy-mm-dd read now; message (WIN1251) says why a failed read ended. DbError when
    // the day is no date.
    void recordDayPage(const QByteArray& day, const DayTally& tally, DayReadEnd end,
                       const QByteArray& message = {});

private:
    Connection& connection_;
};

// The last read of a day page.
struct DayRead
{
    QDateTime readAt;
    DayReadEnd end = DayReadEnd::Stored;
    int entries = 0;
    std::int64_t downloads = 0;
    double earnings = 0;
    QByteArray message;
};

// The last read of a month page and the days it listed.
struct MonthRead
{
    QDateTime readAt;
    QSet<QDate> listedDays;
};

// What the log and the stored sales say about the days: the last read of every day page and of every
// month page (by the month's first day), and the days that have SALES rows.
struct CollectionRecord
{
    std::map<QDate, DayRead> lastDayReads;
    std::map<QDate, MonthRead> lastMonthReads;
    QSet<QDate> storedDays;
};

CollectionRecord readCollectionRecord(Connection& connection);

} // namespace data
