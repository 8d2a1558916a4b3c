#pragma once

// One price bar in memory. Every price history of the system (downloaded, read
// from a file, edited, written) is a PriceHistory in ascending order of day and
// time.

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace mvr {

struct PERIODE {
    std::int32_t secondsOfDay = 0; // seconds after midnight; 0 for daily bars
    float open = 0.0f;
    float high = 0.0f;
    float low = 0.0f;
    float close = 0.0f;
    std::int32_t volume = 0;
    std::int32_t dayNumber = 0;
    // Where the bar was read from: the record index among a MetaStock file's
    // data records, or the byte offset of an ASCII line; -1 when not read.
    std::int32_t sourcePos = -1;
    std::int32_t isNew = 0; // non-zero for a bar new or changed since the file was read

    bool operator==(const PERIODE&) const = default;
};
static_assert(sizeof(PERIODE) == 36);

using PriceHistory = std::vector<PERIODE>;

// The order of every price history: by day, then by time of day.
inline bool IsEarlierBar(const PERIODE& a, const PERIODE& b) {
    return a.dayNumber != b.dayNumber ? a.dayNumber < b.dayNumber : a.secondsOfDay < b.secondsOfDay;
}

// Two bars of the same day and time that agree in their prices and volume:
// a download that brings such a bar changes nothing.
inline bool HasSameValues(const PERIODE& a, const PERIODE& b) {
    return a.open == b.open && a.high == b.high && a.low == b.low && a.close == b.close &&
           a.volume == b.volume;
}

// Makes a bar read from a file (or about to be written to a MetaStock file)
// plausible: missing prices take the close, and the close, low and open are
// brought inside the high-low range in a fixed order. The steps are not
// symmetric: an open below the low lowers the low, an open above the high is
// cut down to the high.
inline void CorrectBar(PERIODE& bar) {
    // On local values, as selections without branches: every bar read passes here.
    const float close = bar.close;
    float high = bar.high == 0.0f ? close : bar.high;
    float low = bar.low == 0.0f ? close : bar.low;
    float open = bar.open == 0.0f ? close : bar.open;
    high = close > high ? close : high;
    low = low > close ? close : low;
    low = low > open ? open : low;
    open = open > high ? high : open;
    bar.open = open;
    bar.high = high;
    bar.low = low;
}

// How a reader hands out the bars of a file: corrected as every part of the
// system works with them, or exactly as stored (no correction, the sign of
// the volume kept) for the checks that look for what the correction hides.
enum class BarReading { Corrected, AsStored };

// The day number of a date read from a price file: the OLE date's whole days
// counted from day 693960, so that a missing date (0.0) becomes 693960.
std::int32_t DayNumberOfStoredDate(double oleDate);

// The date and time of a bar as one OLE date: the day at midnight (0.0 for no
// date) plus the time of day when there is one.
double BarOleDate(const PERIODE& bar);

// A number read from a file truncated toward zero to a 32-bit integer; values
// beyond the range saturate and NaN gives 0, so damaged fields never overflow.
inline std::int32_t TruncateToInt32(double value) {
    constexpr double kMax = std::numeric_limits<std::int32_t>::max();
    constexpr double kMin = std::numeric_limits<std::int32_t>::min();
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= kMax) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (value <= kMin) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(value);
}

} // namespace mvr
