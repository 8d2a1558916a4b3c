#pragma once

// Turns 1-minute bars into bars of N minutes: open of the first minute, high
// and low over the bucket, close of the last minute, the volumes summed. The
// buckets of each day lie on the session's grid: they start at the session
// start plus whole multiples of N minutes (a bucket reaching back before
// midnight starts at 00:00), and each bar carries the start of its bucket, so
// an interval of 1 gives the minutes back unchanged. Minutes without a bar
// leave no gap bar; a bucket without any minute gives no bar.

#include "server/PriceBars.h"

#include <cstdint>
#include <span>
#include <vector>

namespace mvr {

// Intervals of a day or longer give one bar per day, starting at 00:00.
inline constexpr int kMaxIntervalMinutes = 24 * 60;

// `minutes` in ascending order of day and time; an interval below 1 gives no bars.
std::vector<IntradayBar> AggregateMinuteBars(std::span<const IntradayBar> minutes,
                                             int intervalMinutes, std::int32_t sessionStart);

} // namespace mvr
