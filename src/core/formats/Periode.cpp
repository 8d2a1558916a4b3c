#include "core/formats/Periode.h"

#include "core/formats/DayNumber.h"

#include <cmath>
#include <limits>

namespace mvr {

void CorrectBar(PERIODE& bar) {
    if (bar.high == 0.0f) {
        bar.high = bar.close;
    }
    if (bar.low == 0.0f) {
        bar.low = bar.close;
    }
    if (bar.open == 0.0f) {
        bar.open = bar.close;
    }
    if (bar.close > bar.high) {
        bar.high = bar.close;
    }
    if (bar.low > bar.close) {
        bar.low = bar.close;
    }
    if (bar.low > bar.open) {
        bar.low = bar.open;
    }
    if (bar.open > bar.high) {
        bar.open = bar.high;
    }
}

std::int32_t DayNumberOfStoredDate(double oleDate) {
    const double days = std::fabs(oleDate) + kOleEpochDayNumber;
    // Dates far outside the calendar come only from damaged files.
    if (!(days < static_cast<double>(std::numeric_limits<std::int32_t>::max()))) {
        return 0;
    }
    return static_cast<std::int32_t>(days);
}

double BarOleDate(const PERIODE& bar) {
    if (bar.secondsOfDay != 0) {
        const OleDateTime dateTime = DayNumberToOleDate(bar.dayNumber, bar.secondsOfDay);
        if (dateTime.valid) {
            return dateTime.date;
        }
    }
    return DayNumberToPlainOleDate(bar.dayNumber);
}

std::int32_t TruncateToInt32(double value) {
    constexpr double kMax = std::numeric_limits<std::int32_t>::max();
    constexpr double kMin = std::numeric_limits<std::int32_t>::min();
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= kMax) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (value <= kMin) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(value);
}

} // namespace mvr
