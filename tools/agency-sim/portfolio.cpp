#include "tools/agency-sim/portfolio.h"

#include "tools/agency-sim/random.h"
#include "tools/agency-sim/texts.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <stdexcept>

namespace agencysim {

namespace {

constexpr std::uint64_t BatchStream = 0x6261746368;
constexpr std::uint64_t RateStream = 0x72617465;
constexpr std::uint64_t SaleStream = 0x73616c65;
constexpr std::uint64_t BackupStream = 0x6261636b7570;

constexpr int MaxPictures = 1'000'000;
constexpr int MaxCountPerEntry = 60;

// Sale rates follow a Pareto law: most pictures sell once in a few weeks, a few almost every day.
constexpr double RateShape = 1.1;
constexpr double RateScale = 0.025;
constexpr double RateCap = 0.9;

// Per-download earnings in cents. Regular rates rise with each year of the period.
constexpr std::array<int, 5> RegularCents = {25, 30, 33, 36, 38};
constexpr std::array<int, 6> OnDemandCents = {80, 100, 150, 200, 250, 285};
constexpr std::array<int, 6> EnhancedCents = {300, 500, 1000, 1500, 2000, 2800};

std::uint32_t saleThreshold(Draws& draws)
{
    const double uniform = (static_cast<double>(draws.next() >> 11) + 1.0) / 9007199254740992.0;
    const double chance = std::min(RateCap, RateScale * std::pow(uniform, -1.0 / RateShape));
    return static_cast<std::uint32_t>(chance * 4294967295.0);
}

// Other kinds sell far less often than regular downloads, and weekends are quieter.
std::uint32_t kindThreshold(std::uint32_t regular, SaleKind kind, bool weekend)
{
    std::uint64_t t = regular;
    if (kind == SaleKind::OnDemand)
        t /= 12;
    else if (kind == SaleKind::Enhanced)
        t /= 30;
    if (weekend)
        t = t * 7 / 10;
    return static_cast<std::uint32_t>(t);
}

int batchSize(Draws& draws)
{
    const int roll = draws.below(100);
    if (roll < 60)
        return draws.between(1, 20);
    if (roll < 85)
        return draws.between(21, 60);
    return draws.between(61, 100);
}

template <std::size_t N> int pickCents(Draws& draws, const std::array<int, N>& table)
{
    return table[static_cast<std::size_t>(draws.below(static_cast<int>(N)))];
}

} // namespace

Portfolio::Portfolio(PortfolioOptions options) : options_(options)
{
    if (options_.pictures < 0 || options_.pictures > MaxPictures)
        throw std::invalid_argument("the portfolio size must lie between 0 and " +
                                    std::to_string(MaxPictures));
    if (!options_.from.ok() || !options_.till.ok() || options_.till < options_.from)
        throw std::invalid_argument("the sales period must end in or after the month it starts");
    firstSaleDay_ = dayNumber(firstDay(options_.from));
    lastSaleDay_ = dayNumber(lastDay(options_.till));
    buildBatches();
}

// Batches of 1 to 100 pictures on random days of the period (the first on its first day), with ids
// that grow with the date, as the agency hands them out.
void Portfolio::buildBatches()
{
    Draws draws(hashOf({options_.seed, BatchStream}));
    std::vector<int> sizes;
    for (int left = options_.pictures; left > 0; left -= sizes.back())
        sizes.push_back(std::min(left, batchSize(draws)));

    std::vector<int> days;
    for (std::size_t i = 0; i < sizes.size(); ++i)
        days.push_back(i == 0 ? firstSaleDay_ : draws.between(firstSaleDay_, lastSaleDay_));
    std::sort(days.begin(), days.end());

    std::int64_t batchId = 100000 + draws.below(50000);
    std::int64_t pictureId = 1000000 + draws.below(4000000);
    for (std::size_t b = 0; b < sizes.size(); ++b) {
        const Day date{std::chrono::sys_days(std::chrono::days(days[b]))};
        batches_.push_back(
            {batchId, date, sizes[b] + draws.below(sizes[b] / 3 + 1), sizes[b], pictureCount()});
        for (int i = 0; i < sizes[b]; ++i) {
            ids_.push_back(pictureId);
            acceptedDay_.push_back(days[b]);
            Draws rate(hashOf({options_.seed, RateStream, static_cast<std::uint64_t>(pictureId)}));
            saleThreshold_.push_back(saleThreshold(rate));
            pictureId += 1 + draws.below(2000);
        }
        batchId += 1 + draws.below(900);
    }
}

int Portfolio::batchIndexOf(int pictureIndex) const
{
    auto after = std::upper_bound(batches_.begin(), batches_.end(), pictureIndex,
                                  [](int index, const Batch& batch) { return index < batch.firstPicture; });
    return static_cast<int>(after - batches_.begin()) - 1;
}

Picture Portfolio::picture(int index) const
{
    const std::int64_t id = ids_.at(static_cast<std::size_t>(index));
    const Batch& batch = batches_[static_cast<std::size_t>(batchIndexOf(index))];
    return {id, batch.id, batch.date, pictureTitle(options_.seed, id), pictureKeywords(options_.seed, id)};
}

std::optional<Picture> Portfolio::pictureById(std::int64_t id) const
{
    auto found = std::lower_bound(ids_.begin(), ids_.end(), id);
    if (found == ids_.end() || *found != id)
        return std::nullopt;
    return picture(static_cast<int>(found - ids_.begin()));
}

const Batch* Portfolio::batchById(std::int64_t id) const
{
    auto found = std::lower_bound(batches_.begin(), batches_.end(), id,
                                  [](const Batch& batch, std::int64_t wanted) { return batch.id < wanted; });
    return found != batches_.end() && found->id == id ? &*found : nullptr;
}

int Portfolio::pageCount(const Batch& batch)
{
    return (batch.approved + PicturesPerBatchPage - 1) / PicturesPerBatchPage;
}

std::vector<Picture> Portfolio::batchPictures(const Batch& batch) const
{
    std::vector<Picture> pictures;
    for (int i = 0; i < batch.approved; ++i)
        pictures.push_back(picture(batch.firstPicture + i));
    return pictures;
}

std::vector<Picture> Portfolio::batchPage(const Batch& batch, int page) const
{
    std::vector<Picture> pictures;
    const int first = (page - 1) * PicturesPerBatchPage;
    for (int i = std::max(first, 0); i < std::min(first + PicturesPerBatchPage, batch.approved); ++i)
        pictures.push_back(picture(batch.firstPicture + i));
    return pictures;
}

int Portfolio::sellerCount(int day) const
{
    return static_cast<int>(std::lower_bound(acceptedDay_.begin(), acceptedDay_.end(), day) -
                            acceptedDay_.begin());
}

// One hash per picture and day decides all three kinds in turn, each with its count and earnings.
void Portfolio::addSales(int index, int day, bool weekend, SalesByKind& sales) const
{
    const auto at = static_cast<std::size_t>(index);
    Draws draws(hashOf(
        {options_.seed, SaleStream, static_cast<std::uint64_t>(ids_[at]), static_cast<std::uint64_t>(day)}));
    for (SaleKind kind : {SaleKind::Regular, SaleKind::OnDemand, SaleKind::Enhanced}) {
        const std::uint32_t threshold = kindThreshold(saleThreshold_[at], kind, weekend);
        if (draws.next32() >= threshold)
            continue;
        SaleEntry entry{ids_[at], kind, 1, 0};
        while (entry.count < MaxCountPerEntry && draws.next32() < threshold / 10 * 9)
            ++entry.count;
        for (int i = 0; i < entry.count; ++i)
            entry.cents += kind == SaleKind::Regular
                               ? regularCents(day)
                               : pickCents(draws, kind == SaleKind::OnDemand ? OnDemandCents : EnhancedCents);
        sales[static_cast<std::size_t>(kind)].push_back(entry);
    }
}

int Portfolio::regularCents(int day) const
{
    const auto year = static_cast<std::size_t>((day - firstSaleDay_) / 365);
    return RegularCents[std::min(year, RegularCents.size() - 1)];
}

std::vector<SaleEntry> Portfolio::dayEntries(Day date) const
{
    const int day = dayNumber(date);
    if (!inPeriod(day))
        return {};
    const bool weekend = isWeekend(date);
    SalesByKind sales;
    for (int i = 0, sellers = sellerCount(day); i < sellers; ++i)
        addSales(i, day, weekend, sales);
    std::vector<SaleEntry> entries = std::move(sales[0]);
    entries.insert(entries.end(), sales[1].begin(), sales[1].end());
    entries.insert(entries.end(), sales[2].begin(), sales[2].end());
    return entries;
}

// On about one day in twelve the agency also lists a few pictures printed on its backup CD.
std::vector<SaleEntry> Portfolio::backupCdEntries(Day date) const
{
    std::vector<SaleEntry> entries;
    const int day = dayNumber(date);
    const int sellers = inPeriod(day) ? sellerCount(day) : 0;
    Draws draws(hashOf({options_.seed, BackupStream, static_cast<std::uint64_t>(day)}));
    if (sellers == 0 || draws.below(12) != 0)
        return entries;
    for (int n = draws.between(1, 3); n > 0; --n)
        entries.push_back({ids_[static_cast<std::size_t>(draws.below(sellers))], SaleKind::Regular, 1, 0});
    return entries;
}

std::vector<DaySale> Portfolio::expectedSales(Day date) const
{
    std::map<std::int64_t, DaySale> byPicture;
    for (const SaleEntry& entry : dayEntries(date)) {
        DaySale& sale = byPicture[entry.pictureId];
        sale.pictureId = entry.pictureId;
        sale.count += entry.count;
        std::optional<int>& cents = entry.kind == SaleKind::Regular    ? sale.regularCents
                                    : entry.kind == SaleKind::OnDemand ? sale.onDemandCents
                                                                       : sale.enhancedCents;
        cents = entry.cents;
    }
    std::vector<DaySale> sales;
    for (auto& [id, sale] : byPicture)
        sales.push_back(sale);
    return sales;
}

DayTotals Portfolio::totals(Day date) const
{
    DayTotals totals;
    for (const SaleEntry& entry : dayEntries(date)) {
        totals.downloads += entry.count;
        totals.cents += entry.cents;
    }
    return totals;
}

std::vector<Day> Portfolio::saleDays(Month month) const
{
    std::vector<Day> days;
    for (auto day = std::chrono::sys_days(firstDay(month)); day <= std::chrono::sys_days(lastDay(month));
         day += std::chrono::days(1))
        if (totals(Day(day)).downloads > 0)
            days.push_back(Day(day));
    return days;
}

} // namespace agencysim
