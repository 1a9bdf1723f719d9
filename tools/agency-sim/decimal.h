#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace agencysim {

// 1 to 19 ASCII digits and nothing else (so the value always fits); nothing for any other text.
constexpr std::optional<std::uint64_t> parseDecimal(std::string_view text)
{
    if (text.empty() || text.size() > 19)
        return std::nullopt;
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return value;
}

} // namespace agencysim
