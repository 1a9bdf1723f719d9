#pragma once

#include "tools/agency-sim/calendar.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace agencysim {

struct PortfolioOptions
{
    std::uint64_t seed = 1;
    int pictures = 500;
    Month from = std::chrono::year(2007) / std::chrono::January;  // first month with sales
    Month till = std::chrono::year(2008) / std::chrono::December; // last month with sales
};

enum class SaleKind { Regular = 0, OnDemand = 1, Enhanced = 2 };

// One picture entry of a day page.
struct SaleEntry
{
    std::int64_t pictureId = 0;
    SaleKind kind = SaleKind::Regular;
    int count = 0;
    int cents = 0; // earnings of this entry
};

// Everything one picture sold on one day: what its SALES row holds once that day has been collected
// (COUNT, and SUM, ON_DEMAND and ENHANCED in dollars: cents / 100).
struct DaySale
{
    std::int64_t pictureId = 0;
    int count = 0;                   // downloads of all kinds together
    std::optional<int> regularCents; // empty when the day page has no entry of that kind for the picture
    std::optional<int> onDemandCents;
    std::optional<int> enhancedCents;
};

struct Picture
{
    std::int64_t id = 0;
    std::int64_t batchId = 0;
    Day accepted;         // the date of its batch
    std::string title;    // as the pages write it: Windows-1251, HTML-escaped (texts.h)
    std::string keywords; // likewise
};

struct Batch
{
    std::int64_t id = 0;
    Day date;
    int submitted = 0;
    int approved = 0;     // the batch's pictures, 1 to 100
    int firstPicture = 0; // index of its first picture in the portfolio
};

struct DayTotals
{
    int downloads = 0; // all kinds together
    int cents = 0;
};

inline constexpr int PicturesPerBatchPage = 20;

// The contributor's synthetic portfolio, deterministic from the options. Pictures are accepted in
// batches spread over the period and sell from the day after acceptance to the end of the period; a few
// best sellers sell almost daily, most pictures rarely. Only ids, dates and sale rates are kept in
// memory; titles, keywords and every day's sales are worked out from the seed when asked for.
// All members are const and safe to call from several threads.
class Portfolio
{
public:
    explicit Portfolio(PortfolioOptions options); // std::invalid_argument for unusable options

    const PortfolioOptions& options() const { return options_; }

    int pictureCount() const { return static_cast<int>(ids_.size()); }
    Picture picture(int index) const; // 0 .. pictureCount() - 1, in order of acceptance and id
    std::optional<Picture> pictureById(std::int64_t id) const;

    const std::vector<Batch>& batches() const { return batches_; } // oldest first
    const Batch* batchById(std::int64_t id) const;
    static int pageCount(const Batch& batch); // 20 pictures a page
    std::vector<Picture> batchPictures(const Batch& batch) const;
    std::vector<Picture> batchPage(const Batch& batch, int page) const; // page from 1; empty past the last

    // The entries of a day page in page order: regular, then on demand, then enhanced; within a kind by id.
    std::vector<SaleEntry> dayEntries(Day day) const;
    // Entries listed after the page's backup CD line: shown by the agency, but no sales.
    std::vector<SaleEntry> backupCdEntries(Day day) const;
    // The day's sales per picture, ordered by picture id.
    std::vector<DaySale> expectedSales(Day day) const;
    DayTotals totals(Day day) const;              // the month page's figures for the day
    std::vector<Day> saleDays(Month month) const; // days with downloads, in month page order

private:
    using SalesByKind = std::array<std::vector<SaleEntry>, 3>;
    void addSales(int index, int day, bool weekend, SalesByKind& sales) const;
    int regularCents(int day) const; // per regular download: the rate rises with each year of the period
    int sellerCount(int day) const;  // pictures accepted before the day
    bool inPeriod(int day) const { return day >= firstSaleDay_ && day <= lastSaleDay_; }
    int batchIndexOf(int pictureIndex) const;
    void buildBatches();

    PortfolioOptions options_;
    int firstSaleDay_ = 0; // day numbers (calendar.h)
    int lastSaleDay_ = 0;
    std::vector<Batch> batches_;
    std::vector<std::int64_t> ids_;
    std::vector<int> acceptedDay_;
    std::vector<std::uint32_t> saleThreshold_; // chance of a regular sale on a weekday, scaled to 2^32
};

} // namespace agencysim
