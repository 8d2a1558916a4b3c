#pragma once

// The bodies of the price history requests as the server reads them. A body
// is taken apart defensively: the entry count is capped, storage grows only
// with the entries that did arrive, and anything malformed (a count out of
// range, a body that ends early, an entry cut by the end of its block, bytes
// behind the last entry) raises CIOException, which ends the connection.

#include "core/net/ClientRequest.h"

#include <cstdint>
#include <vector>

namespace mvr {

// Far more symbols than any set of export directories holds.
inline constexpr std::int32_t kMaxChartEntries = 1 << 20;

struct DailyBarsQuery {
    std::int32_t sinCode = 0;
    std::int32_t firstDay = 0;
    std::int32_t lastDay = 0;
};

struct IntradayBarsQuery {
    std::int32_t sinCode = 0;
    std::int32_t daysBack = 0; // minus the number of days
    std::int32_t interval = 0; // minutes
};

std::vector<DailyBarsQuery> ReadDailyBarsQueries(CClientRequest& connection);
std::vector<IntradayBarsQuery> ReadIntradayBarsQueries(CClientRequest& connection);

} // namespace mvr
