#pragma once

// How the data editor shows a price record: one row per record, its date (or
// date and time for the intraday ASCII format) with "/" between the parts,
// the four prices with three decimals and the volume as a whole number.

#include "core/formats/Periode.h"

#include <cstdint>
#include <span>
#include <string>

namespace mvr {

struct PriceRowColumn {
    const char* title;
    int width;       // pixels
    bool alignRight; // the value columns; "Time" is left-aligned
};

inline constexpr int kPriceColumnTime = 0;
inline constexpr int kPriceColumnOpen = 1;
inline constexpr int kPriceColumnHigh = 2;
inline constexpr int kPriceColumnLow = 3;
inline constexpr int kPriceColumnClose = 4;
inline constexpr int kPriceColumnVolume = 5;
inline constexpr int kPriceColumnCount = 6;

std::span<const PriceRowColumn> PriceRowColumns();

// "dd/mm/yyyy", empty for no date.
std::string SlashedDateText(std::int32_t dayNumber);

// The text of one cell; empty for a column outside the table. The first
// column holds the date, and the time too for a series of intraday bars.
std::string PriceCellText(const PERIODE& record, bool intradaySeries, int column);

} // namespace mvr
