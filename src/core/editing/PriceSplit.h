#pragma once

// A stock split applied to the records before a date: prices are multiplied
// by the factor and volumes divided by it (a 2-for-1 split is the factor 0.5),
// and the split dialog's values that produce the date and the factor.

#include "core/formats/Periode.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace mvr {

// Negative factors and exactly 1.0 change nothing, as the split has always
// treated them. Neither does 0 (also what an empty or non-numeric factor text
// reads as), NaN or an infinite factor: every price would be lost and the
// volume division has no result.
bool IsApplicableSplitFactor(float factor);

// Applies the split from the first record up to (not including) the first
// record on or after `splitDay`, in record order: the records are expected
// oldest first, and the walk stops there even if older records follow. Each
// changed record is marked new. A split day of 0 changes nothing. The count
// of changed records.
std::size_t ApplySplit(PriceHistory& records, std::int32_t splitDay, float factor);

struct SplitRequest {
    std::int32_t splitDay = 0; // 0 when the date text was no date
    float factor = 1.0f;
};

// The split dialog: opened on a proposed day, with the factor 1 unless a
// factor is proposed as well.
class CSplitDataValues {
public:
    static constexpr double kFactorStep = 0.1;

    explicit CSplitDataValues(std::int32_t proposedDay, float proposedFactor = 1.0f);

    // "dd.mm.yyyy" of the proposed day.
    const std::string& DateText() const { return dateText_; }
    // The factor printed with "%.7g": "1" unless another was proposed.
    const std::string& FactorText() const { return factorText_; }

    // OK with the texts of the two controls.
    static SplitRequest Accept(std::string_view dateText, std::string_view factorText);

private:
    std::string dateText_;
    std::string factorText_;
};

} // namespace mvr
