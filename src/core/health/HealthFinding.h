#pragma once

// What the health check of a price history reports: one finding per fault
// of a bar, tied to the bar's row so that the data editor can mark it.

#include "core/health/SplitRatio.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace mvr {

enum class HealthFindingKind : std::uint8_t {
    OutOfOrder,       // earlier than the bar before it
    Duplicate,        // the same date and time as the bar before it
    HighBelow,        // high below the open or the close
    LowAbove,         // low above the open or the close
    NonPositivePrice, // an open, high, low or close of zero or less
    NegativeVolume,
    Gap,  // more business days after the latest bar before it than allowed
    Jump, // a close-to-close change beyond the threshold
};

// A stable lowercase word for scripts and CSV: "out-of-order", "duplicate",
// "high-below", "low-above", "non-positive-price", "negative-volume", "gap",
// "jump".
std::string_view HealthFindingWord(HealthFindingKind kind);

struct HealthFinding {
    HealthFindingKind kind = HealthFindingKind::OutOfOrder;
    std::size_t row = 0; // the bar's index in the history as the file stores it
    // Where the bar lies in its file (PERIODE::sourcePos): the row of a
    // history read with the bar correction, edited since, that still shows it.
    std::int32_t sourcePos = -1;
    std::int32_t dayNumber = 0;
    std::int32_t secondsOfDay = 0;
    // Jumps only: the split that would explain the jump. It took effect on
    // the bar's day: the data editor's split dialog opens on `dayNumber`
    // with split.SplitFactor().
    SplitRatio split;
    std::string description; // short English text, e.g. "high 10 below close 12"

    bool operator==(const HealthFinding&) const = default;
};

} // namespace mvr
