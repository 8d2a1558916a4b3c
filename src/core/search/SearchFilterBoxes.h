#pragma once

// The three filter boxes of the symbol search, filled from the reference
// tables of the login: the search kinds in the server's order, and the
// security types and exchanges sorted by name (letter case ignored) below an
// entry for all of them with the value 0, which the search request sends as
// "no filter".

#include "core/lists/BoxEntry.h"
#include "core/net/ReferenceTables.h"

#include <vector>

namespace mvr {

inline constexpr const char* kSymbolSearchTitle = "Symbol Search";
inline constexpr const char* kSearchKindLabel = "Search for:";
inline constexpr const char* kSearchTextLabel = "Text:";
inline constexpr const char* kSecurityTypeLabel = "Sec. Type:";
inline constexpr const char* kExchangeLabel = "&Exchange:";
inline constexpr const char* kSearchButtonText = "&Search";
inline constexpr const char* kResultListText = "Resultlist:";
inline constexpr const char* kCatalogueTreeLabel = "securities catalogues";
inline constexpr const char* kAllSecurityTypesText = "All securities types";
inline constexpr const char* kAllExchangesText = "All exchanges";

std::vector<BoxEntry> SearchKindBoxEntries(const ReferenceTables& tables);
std::vector<BoxEntry> SecurityTypeBoxEntries(const ReferenceTables& tables);
std::vector<BoxEntry> ExchangeBoxEntries(const ReferenceTables& tables);

} // namespace mvr
