#pragma once

// Prices of the delta-coded bars travel as whole units of 10^-d (d = 0..6
// decimals): the receiver rounds its previous price to d decimals and moves it
// by the transmitted number of units. The sender codes against exactly the
// same rounding, so both ends hold the same prices after every bar.

#include <cstdint>
#include <optional>

namespace mvr {

inline constexpr int kMaxPriceDecimals = 6;

// One bar of a delta-coded sequence; the prices in wire order (the price
// histories send close, open, low, high). `date` is a day number, or the
// seconds of the day for intraday bars.
struct DeltaBar {
    std::int32_t date = 0;
    float p1 = 0.0f;
    float p2 = 0.0f;
    float p3 = 0.0f;
    float p4 = 0.0f;
    std::int32_t volume = 0;
};

bool operator==(const DeltaBar& a, const DeltaBar& b);

// `x` rounded half-up to d decimals from its first seven fractional digits, as
// a count of 10^-d units. Nothing for d outside 0..6 and for values too large
// to count (beyond any price, e.g. infinities).
std::optional<std::int64_t> RoundToPriceUnits(float x, int decimals);

// A whole number of 10^-d units as the price a receiver holds (d = 0..6).
float PriceOfUnits(std::int64_t units, int decimals);

// The previous price rounded to d decimals and moved by `delta` units of
// 10^-d. Any other d, or a value that cannot be counted, comes back unchanged.
float applyPriceDelta(float x, std::int32_t delta, int decimals);

} // namespace mvr
