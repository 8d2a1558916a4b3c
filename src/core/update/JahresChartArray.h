#pragma once

// One symbol of a price history request (daily bars or intraday bars): what is
// asked for, and what came back. The update job keeps one array of them per
// request, in the order of its work list.

#include "core/formats/Periode.h"

#include <cstdint>
#include <optional>

namespace mvr {

struct JAHRESCHARTARRAY {
    std::int32_t SInCode = 0;  // the server's instrument number
    std::int32_t startDay = 0; // first wanted day (day number)
    std::int32_t endDay = 0;   // last wanted day
    std::int32_t daysBack = 0; // intraday requests: minus the number of days asked for
    std::int32_t interval = 0; // intraday requests: minutes per bar
    // Set once the entry's answer has arrived completely.
    bool answered = false;
    // The downloaded bars (sourcePos -1, isNew 1), present only for an
    // answered entry, so that an answer that breaks off never leaves part of a
    // history behind. The update job frees them after writing the files.
    std::optional<PriceHistory> bars;
};

} // namespace mvr
