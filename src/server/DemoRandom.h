#pragma once

// The random numbers of the demo data: xoshiro256** seeded through
// splitmix64, with integer-only helpers. Nothing here uses the standard
// distributions or floating point, whose results differ between libraries
// and platforms, so a seed gives the same data everywhere.

#include <cstdint>
#include <span>

namespace mvr {

class CDemoRandom {
public:
    explicit CDemoRandom(std::uint64_t seed);

    // An independent sequence for one part of the data (one instrument, ...),
    // so that parts can be made in any order or in parallel.
    static CDemoRandom Stream(std::uint64_t seed, std::uint64_t stream);

    std::uint64_t Next();
    // Uniform in [0, bound); bound must be above 0.
    std::uint64_t Below(std::uint64_t bound);
    // Uniform in [low, high].
    std::int64_t Between(std::int64_t low, std::int64_t high);
    // True with a probability of `percent` in 100.
    bool Percent(int percent);
    // Roughly normal around 0 with a standard deviation of about `deviation`
    // (the sum of four uniform numbers).
    std::int64_t Noise(std::int64_t deviation);

    template <class T>
    const T& Pick(std::span<const T> items) {
        return items[Below(items.size())];
    }

private:
    std::uint64_t state_[4];
};

} // namespace mvr
