#include "core/search/SearchFilterBoxes.h"

#include "core/platform/TextUtil.h"

#include <algorithm>

namespace mvr {

namespace {

// The first entry stays on top; the others follow in the order a sorted
// drop-down box keeps, equal names in the order they came.
std::vector<BoxEntry> AllThenSortedByName(const char* allText, std::vector<BoxEntry> named) {
    std::stable_sort(named.begin(), named.end(), [](const BoxEntry& a, const BoxEntry& b) {
        return CompareIgnoreCase(a.text, b.text) < 0;
    });
    named.insert(named.begin(), BoxEntry{allText, 0});
    return named;
}

} // namespace

std::vector<BoxEntry> SearchKindBoxEntries(const ReferenceTables& tables) {
    std::vector<BoxEntry> entries;
    for (const MVRSUCHART& kind : tables.searchKinds) {
        entries.push_back({kind.name, kind.code});
    }
    return entries;
}

std::vector<BoxEntry> SecurityTypeBoxEntries(const ReferenceTables& tables) {
    std::vector<BoxEntry> named;
    for (const auto& [number, type] : tables.securityTypes) {
        named.push_back({type.name, number});
    }
    return AllThenSortedByName(kAllSecurityTypesText, std::move(named));
}

std::vector<BoxEntry> ExchangeBoxEntries(const ReferenceTables& tables) {
    std::vector<BoxEntry> named;
    for (const auto& [number, exchange] : tables.exchanges) {
        named.push_back({exchange.name, number});
    }
    return AllThenSortedByName(kAllExchangesText, std::move(named));
}

} // namespace mvr
