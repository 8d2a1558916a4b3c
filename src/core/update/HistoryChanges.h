#pragma once

// How a price history changed through an update: the bars it gained and the
// stored bars whose values were replaced, for the job's summary.

#include "core/formats/Periode.h"

#include <cstdint>

namespace mvr {

struct HistoryChanges {
    std::int64_t added = 0;   // bars at a day and time that `before` did not hold
    std::int64_t changed = 0; // bars at a day and time of `before`, with other values

    HistoryChanges& operator+=(const HistoryChanges& other) {
        added += other.added;
        changed += other.changed;
        return *this;
    }
};

// Both histories in ascending order of day and time.
HistoryChanges CountHistoryChanges(const PriceHistory& before, const PriceHistory& after);

} // namespace mvr
