#pragma once

// The health check of one price history: bars out of order or twice, prices
// outside their own range or not above zero, negative volumes, holes in the
// dates and jumps of the close that an unapplied split would explain. It
// looks at the bars as the file stores them, before any correction, in one
// pass and without allocating for a healthy bar.

#include "core/formats/Periode.h"
#include "core/health/HealthFinding.h"

#include <cstdint>
#include <vector>

namespace mvr {

struct HealthLimits {
    static constexpr std::int32_t kDefaultGapDays = 5;
    static constexpr double kDefaultJumpPercent = 40.0;

    // A bar more business days after the latest bar before it is a gap.
    std::int32_t gapDays = kDefaultGapDays;
    // A close that differs from the previous close by more than this share
    // of it, in percent, is a jump.
    double jumpPercent = kDefaultJumpPercent;

    // At least one business day and a finite percentage above zero.
    bool IsValid() const;
};

// Whether the file keeps an open at all: a MetaStock file of five fields does
// not, and its bars hold 0 there, which is no fault.
enum class OpenPrice { Stored, NotStored };

class CPriceHealthCheck {
public:
    explicit CPriceHealthCheck(const HealthLimits& limits = {}, OpenPrice open = OpenPrice::Stored);

    // Appends the findings of the history, its bars taken in file order, to
    // `findings`: by row, and the findings of one row in the order of
    // HealthFindingKind. A bar with a price not above zero is not also
    // checked against its high and low.
    void Check(const PriceHistory& history, std::vector<HealthFinding>& findings) const;

    const HealthLimits& Limits() const { return limits_; }

private:
    HealthLimits limits_;
    OpenPrice open_;
};

} // namespace mvr
