#include "core/net/PriceDelta.h"

#include <cmath>

namespace mvr {

namespace {

constexpr std::int64_t kPowersOfTen[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000};

// Keeps i * 10^6 + delta far inside 64 bits; no price comes near it.
constexpr double kLargestCountablePrice = 1.0e12;

} // namespace

bool operator==(const DeltaBar& a, const DeltaBar& b) {
    return a.date == b.date && a.p1 == b.p1 && a.p2 == b.p2 && a.p3 == b.p3 && a.p4 == b.p4 &&
           a.volume == b.volume;
}

std::optional<std::int64_t> RoundToPriceUnits(float x, int decimals) {
    if (decimals < 0 || decimals > kMaxPriceDecimals || !(std::fabs(x) < kLargestCountablePrice)) {
        return std::nullopt;
    }
    const auto whole = static_cast<std::int64_t>(x); // toward zero
    const auto seventh =
        static_cast<std::int64_t>((static_cast<double>(x) - static_cast<double>(whole)) * 1e7);
    const std::int64_t divisor = kPowersOfTen[7 - decimals];
    std::int64_t units = seventh / divisor;
    if (seventh % divisor >= divisor / 2) {
        ++units;
    }
    return whole * kPowersOfTen[decimals] + units;
}

float PriceOfUnits(std::int64_t units, int decimals) {
    return static_cast<float>(static_cast<double>(units) /
                              static_cast<double>(kPowersOfTen[decimals]));
}

float applyPriceDelta(float x, std::int32_t delta, int decimals) {
    const std::optional<std::int64_t> units = RoundToPriceUnits(x, decimals);
    if (!units) {
        return x;
    }
    return PriceOfUnits(*units + delta, decimals);
}

} // namespace mvr
