#include "tests/agency_sim/page_reading.h"

#include <algorithm>

namespace pagereading {

namespace {

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::size_t findNoCase(std::string_view text, std::string_view marker)
{
    auto found = std::search(text.begin(), text.end(), marker.begin(), marker.end(),
                             [](char a, char b) { return lower(a) == lower(b); });
    return found == text.end() && !marker.empty() ? std::string_view::npos
                                                  : static_cast<std::size_t>(found - text.begin());
}

std::string_view trimmed(std::string_view text)
{
    const auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

} // namespace

std::vector<std::string> rawLines(const std::string& bytes)
{
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n') {
            line += c;
            continue;
        }
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        lines.push_back(std::move(line));
        line.clear();
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

std::vector<std::string> logicalLines(const std::vector<std::string>& raw)
{
    std::vector<std::string> lines;
    for (const std::string& line : raw) {
        const std::string_view text = trimmed(line);
        if (text.empty())
            continue;
        if (text.front() == '<' || lines.empty())
            lines.emplace_back(text);
        else
            lines.back() += " " + std::string(text);
    }
    return lines;
}

bool containsNoCase(std::string_view text, std::string_view marker)
{
    return findNoCase(text, marker) != std::string_view::npos;
}

std::string extractBetween(std::string_view text, std::string_view start, std::string_view end)
{
    const std::size_t at = findNoCase(text, start);
    if (at == std::string_view::npos)
        return {};
    std::string_view rest = text.substr(at + start.size());
    if (!end.empty()) {
        const std::size_t stop = findNoCase(rest, end);
        if (stop == std::string_view::npos)
            return {};
        rest = rest.substr(0, stop);
    }
    return std::string(trimmed(rest));
}

} // namespace pagereading
