#pragma once

// Price bars as the server keeps them: prices are whole numbers of units of
// the instrument's last decimal place (12.34 with two decimal places is
// 1234), so that they are exact and travel as integer deltas.

#include <cstdint>

namespace mvr {

// The client keeps prices as single-precision numbers; up to this many units
// they come back to the same unit after its rounding to the decimal places.
inline constexpr std::int32_t kMaxPriceUnits = 1 << 22;

struct DailyBar {
    std::int32_t day = 0; // day number
    std::int32_t open = 0;
    std::int32_t high = 0;
    std::int32_t low = 0;
    std::int32_t close = 0;
    std::int32_t volume = 0;

    bool operator==(const DailyBar&) const = default;
};

struct IntradayBar {
    std::int32_t day = 0;          // day number
    std::int32_t secondsOfDay = 0; // start of the bar
    std::int32_t open = 0;
    std::int32_t high = 0;
    std::int32_t low = 0;
    std::int32_t close = 0;
    std::int32_t volume = 0;

    bool operator==(const IntradayBar&) const = default;
};

// True when low <= open, close <= high and every price is a positive number of
// units the client carries exactly.
template <class Bar>
bool HasSoundPrices(const Bar& bar) {
    return bar.low >= 1 && bar.high <= kMaxPriceUnits && bar.low <= bar.open &&
           bar.low <= bar.close && bar.open <= bar.high && bar.close <= bar.high;
}

} // namespace mvr
