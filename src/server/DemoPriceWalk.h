#pragma once

// The made-up price history of one demo instrument: a random walk over the
// business days in whole price units, with overnight gaps, splits, a trading
// halt, volumes that rise with the size of a move, and 1-minute bars over the
// session for the last days. On a day with minute bars the daily bar is made
// from them, so both agree.

#include "server/DemoRandom.h"
#include "server/PriceBars.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace mvr {

// Monday to Friday from firstDay to lastDay (day numbers), without 1 January
// and 25 and 26 December.
std::vector<std::int32_t> DemoBusinessDays(std::int32_t firstDay, std::int32_t lastDay);

struct DemoSplit {
    std::size_t dayIndex = 0; // index into the business days
    int ratio = 2;            // new shares per old share
};

struct DemoPricePlan {
    std::int32_t startUnits = 1000;
    std::int32_t volatilityPpm = 20000; // daily deviation in millionths
    std::int32_t driftPpm = 0;          // daily drift in millionths
    std::int32_t baseVolume = 0;        // 0: the instrument has no volume
    bool splitsWhenExpensive = false;   // a share splits instead of growing without bound
    std::size_t firstDayIndex = 0;      // listed from this business day on
    std::size_t haltStart = 0;          // business days without trading: [start, start + length)
    std::size_t haltLength = 0;
    std::vector<DemoSplit> splits;
    std::size_t minuteBarsFrom = static_cast<std::size_t>(-1); // none by default
    std::int32_t sessionOpen = 9 * 3600;                       // seconds of the day
    std::int32_t sessionClose = 17 * 3600 + 1800;
};

struct DemoHistory {
    std::vector<DailyBar> daily;
    std::vector<IntradayBar> minutes;
};

// The walk is made with `random` alone, so the same stream gives the same history.
DemoHistory GenerateDemoHistory(const DemoPricePlan& plan, std::span<const std::int32_t> days,
                                CDemoRandom& random);

} // namespace mvr
