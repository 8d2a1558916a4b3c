#pragma once

// The bodies of the two price history requests: the number of entries alone
// in a first block, then the entries, a block sent whenever it has reached
// the mark, so that one request carries any number of symbols. Both ends of
// the connection use the request codes and entry layouts given here.

#include "core/net/ClientRequest.h"
#include "core/net/RequestCodes.h"
#include "core/update/JahresChartArray.h"

#include <cstdint>
#include <span>

namespace mvr {

// Request 4, per entry: SInCode, start day, end day and three zeros (24 bytes).
void WriteDailyBarsBody(CClientRequest& request, std::span<const JAHRESCHARTARRAY> entries);

// Request 7, per entry: SInCode, days back (signed compact code), interval and
// four zeros (25 to 28 bytes).
void WriteIntradayBarsBody(CClientRequest& request, std::span<const JAHRESCHARTARRAY> entries);

} // namespace mvr
