#include "core/formats/Periode.h"

#include "core/formats/DayNumber.h"

#include <cmath>
#include <limits>

namespace mvr {

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

} // namespace mvr
