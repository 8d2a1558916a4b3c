#pragma once

// The text search over the instruments: the search kind says which texts
// (symbol, name, ISIN) are compared and how (exact, prefix, contains), always
// without regard to the case of A-Z; the security type and exchange filters
// narrow the hits (0 = all). Hits come in the order of the instruments table.
// An empty text matches every instrument the filters let through.

#include "server/ServerModel.h"

#include <cstdint>
#include <string>
#include <vector>

namespace mvr {

struct SearchQuery {
    std::int32_t kindCode = 0;
    std::int32_t securityType = 0; // 0 = all
    std::int32_t exchange = 0;     // 0 = all
    std::string text;
};

enum class SearchOutcome {
    Complete,          // every hit is listed
    TooManyHits,       // more hits than the limit; the first `limit` are listed
    UnknownSearchKind, // no search kind has the code; no hits
};

struct SearchResult {
    SearchOutcome outcome = SearchOutcome::Complete;
    std::vector<const ServerInstrument*> hits;
};

class CInstrumentSearch {
public:
    // Keeps references to both tables, which must outlive it.
    CInstrumentSearch(const std::vector<ServerInstrument>& instruments,
                      const std::vector<SearchKind>& kinds, std::int32_t hitLimit);

    // Thread-safe.
    SearchResult Run(const SearchQuery& query) const;

private:
    struct Prepared {
        const ServerInstrument* instrument;
        std::string symbol; // upper case, compared with the upper-cased search text
        std::string name;
        std::string isin;
    };

    static bool Matches(const std::string& field, const std::string& text, SearchMatch match);

    std::vector<Prepared> prepared_;
    const std::vector<SearchKind>& kinds_;
    std::int32_t hitLimit_;
};

} // namespace mvr
