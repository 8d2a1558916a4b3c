#pragma once

// Which days the update job asks for, symbol by symbol: a normal update goes
// back five days before the symbol's last stored bar (so that late
// corrections of the server arrive) up to yesterday, or today with realtime
// prices; a date range update asks for the typed days.

#include "core/formats/ExportSymbolInfo.h"
#include "core/update/JahresChartArray.h"

#include <cstdint>

namespace mvr {

enum class UpdateKind {
    Normal,            // "Normal Update"
    NormalAndRealtime, // "Normal and Realtime Update"
    DateRange,         // "Date range Update"
};

// The job's choice. The days are those typed into the dialog, 0 when empty;
// the request builders fill empty ones with their defaults and write them
// back here, so that request 7 uses the defaults request 4 has chosen.
struct UpdateDateRange {
    UpdateKind kind = UpdateKind::Normal;
    std::int32_t startDay = 0;
    std::int32_t endDay = 0;
};

struct RequestDays {
    std::int32_t startDay = 0;
    std::int32_t endDay = 0;
};

// Days of request 4 for `symbol`; a date range update without start begins
// five days before `today` and without end ends `today`.
RequestDays DailyRequestDays(const ExportSymbolInfo& symbol, UpdateDateRange& range,
                             std::int32_t today);

// Days of request 7 for `symbol`; a date range update without start or end
// takes `today` for it.
RequestDays IntradayRequestDays(const ExportSymbolInfo& symbol, UpdateDateRange& range,
                                std::int32_t today);

// Request 7 asks for a number of days back instead of a day range: minus the
// days from start to end, and at least one day.
std::int32_t DaysBackOf(const RequestDays& days);

JAHRESCHARTARRAY MakeDailyEntry(const ExportSymbolInfo& symbol, UpdateDateRange& range,
                                std::int32_t today);
JAHRESCHARTARRAY MakeIntradayEntry(const ExportSymbolInfo& symbol, UpdateDateRange& range,
                                   std::int32_t today);

} // namespace mvr
