#include "server/MinuteBarAggregation.h"

#include <algorithm>
#include <limits>

namespace mvr {

namespace {

std::int32_t BucketStart(std::int32_t secondsOfDay, std::int32_t bucketSeconds,
                         std::int32_t sessionStart) {
    if (bucketSeconds >= kMaxIntervalMinutes * 60) {
        return 0;
    }
    const std::int32_t offset = secondsOfDay - sessionStart;
    // Floor division, so that minutes before the session start fall into earlier buckets.
    std::int32_t bucket = offset / bucketSeconds;
    if (offset % bucketSeconds != 0 && offset < 0) {
        --bucket;
    }
    return std::max(0, sessionStart + bucket * bucketSeconds);
}

// The client reads volumes as 32-bit numbers; a sum beyond that is capped.
std::int32_t AddVolume(std::int32_t sum, std::int32_t volume) {
    const std::int64_t total = std::int64_t{sum} + volume;
    return static_cast<std::int32_t>(
        std::min<std::int64_t>(total, std::numeric_limits<std::int32_t>::max()));
}

} // namespace

std::vector<IntradayBar> AggregateMinuteBars(std::span<const IntradayBar> minutes,
                                             int intervalMinutes, std::int32_t sessionStart) {
    std::vector<IntradayBar> bars;
    if (intervalMinutes < 1) {
        return bars;
    }
    const std::int32_t bucketSeconds = std::min(intervalMinutes, kMaxIntervalMinutes) * 60;
    for (const IntradayBar& minute : minutes) {
        const std::int32_t start = BucketStart(minute.secondsOfDay, bucketSeconds, sessionStart);
        if (bars.empty() || bars.back().day != minute.day || bars.back().secondsOfDay != start) {
            IntradayBar bar = minute;
            bar.secondsOfDay = start;
            bars.push_back(bar);
            continue;
        }
        IntradayBar& bar = bars.back();
        bar.high = std::max(bar.high, minute.high);
        bar.low = std::min(bar.low, minute.low);
        bar.close = minute.close;
        bar.volume = AddVolume(bar.volume, minute.volume);
    }
    return bars;
}

} // namespace mvr
