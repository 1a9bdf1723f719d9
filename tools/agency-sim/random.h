#pragma once

#include <cstdint>
#include <initializer_list>

namespace agencysim {

// splitmix64 finaliser: a well-mixed 64-bit value from any 64-bit input.
constexpr std::uint64_t mix(std::uint64_t x)
{
    x += 0x9e3779b97f4a7c15ULL;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

// One hash of several values; the same values always give the same hash, whatever else was drawn before.
// This is what lets every page be generated on its own, in any order.
constexpr std::uint64_t hashOf(std::initializer_list<std::uint64_t> parts)
{
    std::uint64_t h = 0x6a09e667f3bcc909ULL;
    for (std::uint64_t part : parts)
        h = mix(h ^ part);
    return h;
}

// A deterministic sequence of draws from one starting hash.
class Draws
{
public:
    explicit constexpr Draws(std::uint64_t start) : state_(start) {}

    constexpr std::uint64_t next() { return mix(state_++); }
    constexpr std::uint32_t next32() { return static_cast<std::uint32_t>(next() >> 32); }
    // A value in [0, bound); bound must be positive.
    constexpr int below(int bound) { return static_cast<int>(next() % static_cast<std::uint64_t>(bound)); }
    // A value in [low, high].
    constexpr int between(int low, int high) { return low + below(high - low + 1); }

private:
    std::uint64_t state_;
};

} // namespace agencysim
