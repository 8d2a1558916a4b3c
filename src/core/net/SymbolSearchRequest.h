#pragma once

// The symbol search by text (request 121): a search kind, two filters and the
// text; the server answers with the instrument records of its hits.

#include "core/net/InstrumentRecord.h"
#include "core/net/RequestCodes.h"
#include "core/net/RunFlag.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace mvr {

// The request text travels in a buffer of this size.
inline constexpr std::size_t kSearchTextSize = 260;

struct SearchCriteria {
    std::uint8_t kindCode = 0;      // code of a search kind of the login
    std::uint16_t securityType = 0; // 0 = all
    std::uint16_t exchange = 0;     // 0 = all
    std::string text;               // cut to 259 characters when sent

    bool operator==(const SearchCriteria&) const = default;
};

// Runs one search with the login number in the header. `answerStarts` is
// called once the request has gone out, before the answer is read; the hits
// are appended to `records` until the answer ends or `stopEarly()` is true.
// The result is the search request's section result with its text for the
// user ("Titles found:", the too-many and error texts). Communication errors
// raise CIOException.
bool SearchInstruments(
    const SearchCriteria& criteria, const RunFlag& run, std::vector<WATCH>& records,
    std::string& resultText, const std::function<void()>& answerStarts = [] {},
    const std::function<bool()>& stopEarly = [] { return false; });

} // namespace mvr
