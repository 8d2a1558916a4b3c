#include "core/editing/PriceRowTexts.h"

#include "core/formats/DayNumber.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace mvr {

namespace {

constexpr std::array<PriceRowColumn, kPriceColumnCount> kColumns{{
    {"Time", 55, false},
    {"Open", 50, true},
    {"High", 50, true},
    {"Low", 50, true},
    {"Close", 50, true},
    {"Volume", 50, true},
}};

std::string Slashed(std::string text) {
    std::replace(text.begin(), text.end(), '.', '/');
    return text;
}

std::string PriceText(float value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.3f", static_cast<double>(value));
    return buffer;
}

} // namespace

std::span<const PriceRowColumn> PriceRowColumns() {
    return kColumns;
}

std::string SlashedDateText(std::int32_t dayNumber) {
    return Slashed(FormatDayNumber(dayNumber));
}

std::string PriceCellText(const PERIODE& record, bool intradaySeries, int column) {
    switch (column) {
    case kPriceColumnTime:
        return intradaySeries ? Slashed(FormatDayNumberTime(record.dayNumber, record.secondsOfDay))
                              : SlashedDateText(record.dayNumber);
    case kPriceColumnOpen:
        return PriceText(record.open);
    case kPriceColumnHigh:
        return PriceText(record.high);
    case kPriceColumnLow:
        return PriceText(record.low);
    case kPriceColumnClose:
        return PriceText(record.close);
    case kPriceColumnVolume:
        return std::to_string(record.volume);
    default:
        return {};
    }
}

} // namespace mvr
