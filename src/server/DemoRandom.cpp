#include "server/DemoRandom.h"

namespace mvr {

namespace {

std::uint64_t SplitMix64(std::uint64_t& state) {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

std::uint64_t RotateLeft(std::uint64_t x, int k) {
    return (x << k) | (x >> (64 - k));
}

} // namespace

CDemoRandom::CDemoRandom(std::uint64_t seed) {
    for (std::uint64_t& word : state_) {
        word = SplitMix64(seed);
    }
}

CDemoRandom CDemoRandom::Stream(std::uint64_t seed, std::uint64_t stream) {
    std::uint64_t mixed = seed;
    const std::uint64_t first = SplitMix64(mixed);
    return CDemoRandom(first ^ (stream * 0xD1B54A32D192ED03ULL + 0x8BB84B93962EACC9ULL));
}

std::uint64_t CDemoRandom::Next() {
    const std::uint64_t result = RotateLeft(state_[1] * 5, 7) * 9;
    const std::uint64_t t = state_[1] << 17;
    state_[2] ^= state_[0];
    state_[3] ^= state_[1];
    state_[1] ^= state_[2];
    state_[0] ^= state_[3];
    state_[2] ^= t;
    state_[3] = RotateLeft(state_[3], 45);
    return result;
}

std::uint64_t CDemoRandom::Below(std::uint64_t bound) {
    // Values below `threshold` would make the low results more likely.
    const std::uint64_t threshold = (0 - bound) % bound;
    while (true) {
        const std::uint64_t value = Next();
        if (value >= threshold) {
            return value % bound;
        }
    }
}

std::int64_t CDemoRandom::Between(std::int64_t low, std::int64_t high) {
    return low + static_cast<std::int64_t>(Below(static_cast<std::uint64_t>(high - low) + 1));
}

bool CDemoRandom::Percent(int percent) {
    return static_cast<int>(Below(100)) < percent;
}

std::int64_t CDemoRandom::Noise(std::int64_t deviation) {
    // Four uniform numbers in [-a, a] have a deviation of a * 1.1547.
    const std::int64_t spread = deviation * 866 / 1000;
    std::int64_t sum = 0;
    for (int i = 0; i < 4; ++i) {
        sum += Between(-spread, spread);
    }
    return sum;
}

} // namespace mvr
