#include "core/update/HistoryChanges.h"

namespace mvr {

HistoryChanges CountHistoryChanges(const PriceHistory& before, const PriceHistory& after) {
    HistoryChanges changes;
    std::size_t j = 0;
    for (const PERIODE& bar : after) {
        while (j < before.size() && IsEarlierBar(before[j], bar)) {
            ++j;
        }
        const bool stored = j < before.size() && !IsEarlierBar(bar, before[j]);
        if (!stored) {
            ++changes.added;
        } else if (!HasSameValues(bar, before[j])) {
            ++changes.changed;
        }
    }
    return changes;
}

} // namespace mvr
