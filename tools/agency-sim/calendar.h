#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace agencysim {

using Day = std::chrono::year_month_day;
using Month = std::chrono::year_month;

// The date texts of the agency's pages and of the local database.
std::string isoDate(Day day);          // 2008-05-07: day page addresses, month page links
std::string usDate(Day day);           // 05/07/2008: batch dates on the approved batches page
std::string dottedDate(Day day);       // 07.05.2008: acceptance dates as the collectors store them
std::string isoMonth(Month month);     // 2008-05: month page addresses
std::string monthCaption(Month month); // May 2008

// Strict readers: exactly yyyy-mm-dd / yyyy-mm with digits, a real calendar date; nothing otherwise.
std::optional<Day> parseIsoDate(std::string_view text);
std::optional<Month> parseIsoMonth(std::string_view text);

Day firstDay(Month month);
Day lastDay(Month month);
int dayNumber(Day day); // days since 1970-01-01
bool isWeekend(Day day);

} // namespace agencysim
