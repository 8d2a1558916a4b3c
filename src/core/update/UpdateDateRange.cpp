#include "core/update/UpdateDateRange.h"

#include "core/formats/DayNumber.h"

#include <algorithm>

namespace mvr {

namespace {

// The overlap with the stored history, in days.
constexpr double kOverlapDays = 5.0;
constexpr std::int32_t kDefaultRangeDays = 5;
// No range of real days is longer: 1.1.0000 to 31.12.9999.
constexpr std::int64_t kLongestDaySpan = 3652425;

// A date that names no day (a damaged record) asks from the beginning rather
// than for a day that does not exist.
std::int32_t DayOrZero(std::int32_t dayNumber) {
    return IsNoDate(dayNumber) ? 0 : dayNumber;
}

RequestDays NormalDays(const ExportSymbolInfo& symbol, UpdateKind kind, std::int32_t today) {
    const double base = symbol.lastDate != 0.0 ? symbol.lastDate - kOverlapDays : symbol.firstDate;
    RequestDays days;
    days.startDay = DayOrZero(OleDateToDayNumber(base));
    days.endDay = kind == UpdateKind::NormalAndRealtime ? today : today - 1;
    return days;
}

std::int32_t FillEmpty(std::int32_t& day, std::int32_t fallback) {
    if (IsNoDate(day)) {
        day = fallback;
    }
    return day;
}

} // namespace

RequestDays DailyRequestDays(const ExportSymbolInfo& symbol, UpdateDateRange& range,
                             std::int32_t today) {
    if (range.kind != UpdateKind::DateRange) {
        return NormalDays(symbol, range.kind, today);
    }
    RequestDays days;
    days.startDay = FillEmpty(range.startDay, today - kDefaultRangeDays);
    days.endDay = FillEmpty(range.endDay, today);
    return days;
}

RequestDays IntradayRequestDays(const ExportSymbolInfo& symbol, UpdateDateRange& range,
                                std::int32_t today) {
    if (range.kind != UpdateKind::DateRange) {
        return NormalDays(symbol, range.kind, today);
    }
    RequestDays days;
    days.startDay = FillEmpty(range.startDay, today);
    days.endDay = FillEmpty(range.endDay, today);
    return days;
}

std::int32_t DaysBackOf(const RequestDays& days) {
    // A start after the end asks for one day, like a start on the end day;
    // the day filter of the answer then keeps nothing of it. (A positive
    // value would ask the server for days ahead.)
    const std::int64_t span = static_cast<std::int64_t>(days.endDay) - days.startDay;
    return span < 1 ? -1 : static_cast<std::int32_t>(-std::min(span, kLongestDaySpan));
}

JAHRESCHARTARRAY MakeDailyEntry(const ExportSymbolInfo& symbol, UpdateDateRange& range,
                                std::int32_t today) {
    const RequestDays days = DailyRequestDays(symbol, range, today);
    JAHRESCHARTARRAY entry;
    entry.SInCode = symbol.sinCode;
    entry.startDay = days.startDay;
    entry.endDay = days.endDay;
    return entry;
}

JAHRESCHARTARRAY MakeIntradayEntry(const ExportSymbolInfo& symbol, UpdateDateRange& range,
                                   std::int32_t today) {
    const RequestDays days = IntradayRequestDays(symbol, range, today);
    JAHRESCHARTARRAY entry;
    entry.SInCode = symbol.sinCode;
    entry.startDay = days.startDay;
    entry.endDay = days.endDay;
    entry.daysBack = DaysBackOf(days);
    entry.interval = symbol.interval;
    return entry;
}

} // namespace mvr
