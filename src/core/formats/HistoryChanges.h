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
    bool operator==(const HistoryChanges&) const = default;
};

// Both histories in ascending order of day and time. `sameValues(after, before)`
// tells whether a bar of `after` holds the values of the stored bar of its day
// and time; by default all prices and the volume must be equal.
template <typename SameValues>
HistoryChanges CountHistoryChanges(const PriceHistory& before, const PriceHistory& after,
                                   SameValues sameValues) {
    HistoryChanges changes;
    std::size_t j = 0;
    for (const PERIODE& bar : after) {
        while (j < before.size() && IsEarlierBar(before[j], bar)) {
            ++j;
        }
        const bool stored = j < before.size() && !IsEarlierBar(bar, before[j]);
        if (!stored) {
            ++changes.added;
        } else if (!sameValues(bar, before[j])) {
            ++changes.changed;
        }
    }
    return changes;
}

inline HistoryChanges CountHistoryChanges(const PriceHistory& before, const PriceHistory& after) {
    return CountHistoryChanges(before, after, HasSameValues);
}

} // namespace mvr
