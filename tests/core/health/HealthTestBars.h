#pragma once

// Bars and dates for the health tests: a bar's prices and volume spelled out
// in one call, dates as calendar days.

#include "core/formats/Periode.h"
#include "support/CalendarDay.h"

#include <cstdint>

namespace mvr::test {

inline PERIODE Bar(std::int32_t day, float open, float high, float low, float close,
                   std::int32_t volume = 1000, std::int32_t secondsOfDay = 0) {
    PERIODE bar;
    bar.dayNumber = day;
    bar.secondsOfDay = secondsOfDay;
    bar.open = open;
    bar.high = high;
    bar.low = low;
    bar.close = close;
    bar.volume = volume;
    return bar;
}

// A bar whose four prices are `price`.
inline PERIODE Flat(std::int32_t day, float price, std::int32_t secondsOfDay = 0) {
    return Bar(day, price, price, price, price, 1000, secondsOfDay);
}

} // namespace mvr::test
