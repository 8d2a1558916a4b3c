#include "core/editing/PriceSplit.h"

#include "core/controls/EditControlText.h"
#include "core/formats/DayNumber.h"

#include <cmath>
#include <cstdio>

namespace mvr {

bool IsApplicableSplitFactor(float factor) {
    return std::isfinite(factor) && factor > 0.0f && factor != 1.0f;
}

std::size_t ApplySplit(PriceHistory& records, std::int32_t splitDay, float factor) {
    if (!IsApplicableSplitFactor(factor) || IsNoDate(splitDay)) {
        return 0;
    }
    std::size_t changed = 0;
    for (PERIODE& record : records) {
        if (record.dayNumber >= splitDay) {
            break;
        }
        record.open *= factor;
        record.high *= factor;
        record.low *= factor;
        record.close *= factor;
        // A tiny factor would carry the volume beyond 32 bits; it saturates.
        record.volume = TruncateToInt32(static_cast<float>(record.volume) / factor);
        record.isNew = 1;
        ++changed;
    }
    return changed;
}

CSplitDataValues::CSplitDataValues(std::int32_t proposedDay, float proposedFactor)
    : dateText_(FormatDayNumber(proposedDay)) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.7g", static_cast<double>(proposedFactor));
    factorText_ = buffer;
}

SplitRequest CSplitDataValues::Accept(std::string_view dateText, std::string_view factorText) {
    SplitRequest request;
    const std::string date(dateText);
    std::int32_t day = 0;
    request.splitDay = ParseDateText(date.c_str(), &day) && !IsNoDate(day) ? day : 0;
    request.factor = static_cast<float>(DecimalControlValue(factorText));
    return request;
}

} // namespace mvr
