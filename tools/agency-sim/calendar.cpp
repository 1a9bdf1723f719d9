#include "tools/agency-sim/calendar.h"

#include "tools/agency-sim/decimal.h"

#include <array>
#include <cstdio>

namespace agencysim {

using namespace std::chrono;

namespace {

int yearOf(Day day)
{
    return static_cast<int>(day.year());
}
int monthOf(Day day)
{
    return static_cast<int>(static_cast<unsigned>(day.month()));
}
int dayOf(Day day)
{
    return static_cast<int>(static_cast<unsigned>(day.day()));
}

// Prints three numbers with a printf pattern; the callers' patterns give every date text its fixed width.
std::string format(const char* pattern, int a, int b, int c)
{
    std::array<char, 32> buffer{};
    std::snprintf(buffer.data(), buffer.size(), pattern, a, b, c);
    return buffer.data();
}

} // namespace

std::string isoDate(Day day)
{
    return format("%04d-%02d-%02d", yearOf(day), monthOf(day), dayOf(day));
}
std::string usDate(Day day)
{
    return format("%02d/%02d/%04d", monthOf(day), dayOf(day), yearOf(day));
}
std::string dottedDate(Day day)
{
    return format("%02d.%02d.%04d", dayOf(day), monthOf(day), yearOf(day));
}
std::string isoMonth(Month month)
{
    return isoDate(firstDay(month)).substr(0, 7);
}

std::string monthCaption(Month month)
{
    static const std::array<const char*, 12> names = {"January",   "February", "March",    "April",
                                                      "May",       "June",     "July",     "August",
                                                      "September", "October",  "November", "December"};
    return std::string(names[static_cast<unsigned>(month.month()) - 1]) + " " +
           std::to_string(static_cast<int>(month.year()));
}

std::optional<Month> parseIsoMonth(std::string_view text)
{
    if (text.size() != 7 || text[4] != '-')
        return std::nullopt;
    auto year = parseDecimal(text.substr(0, 4));
    auto month = parseDecimal(text.substr(5, 2));
    if (!year || !month || *month < 1 || *month > 12)
        return std::nullopt;
    return std::chrono::year(static_cast<int>(*year)) / std::chrono::month(static_cast<unsigned>(*month));
}

std::optional<Day> parseIsoDate(std::string_view text)
{
    if (text.size() != 10 || text[7] != '-')
        return std::nullopt;
    auto month = parseIsoMonth(text.substr(0, 7));
    auto day = parseDecimal(text.substr(8, 2));
    if (!month || !day)
        return std::nullopt;
    Day result = *month / std::chrono::day(static_cast<unsigned>(*day));
    if (!result.ok())
        return std::nullopt;
    return result;
}

Day firstDay(Month month)
{
    return month / std::chrono::day(1);
}
Day lastDay(Month month)
{
    return Day(month / std::chrono::last);
}
int dayNumber(Day day)
{
    return static_cast<int>(sys_days(day).time_since_epoch().count());
}

bool isWeekend(Day day)
{
    weekday wd{sys_days(day)};
    return wd == Saturday || wd == Sunday;
}

} // namespace agencysim
