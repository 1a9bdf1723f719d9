#pragma once

#include <string>
#include <string_view>
#include <vector>

// An independent reader of the agency's pages for checking the simulator: raw lines, logical lines and
// the marker cut, written from the reading rules rather than taken from the collectors.
namespace pagereading {

std::vector<std::string> rawLines(const std::string& bytes); // split at CR LF, CR or LF
std::vector<std::string> logicalLines(const std::vector<std::string>& raw);
bool containsNoCase(std::string_view text, std::string_view marker);
// The trimmed text between the first start marker and the next end marker (empty end: to the end).
std::string extractBetween(std::string_view text, std::string_view start, std::string_view end);

} // namespace pagereading
