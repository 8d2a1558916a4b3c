#include "core/health/BusinessDays.h"

namespace mvr {

namespace {

// Day number of Monday, 1 January 1900: every whole week counted from it
// holds five business days.
constexpr std::int64_t kReferenceMonday = 693962;

std::int64_t FloorDivide(std::int64_t value, std::int64_t divisor) {
    const std::int64_t quotient = value / divisor;
    return value % divisor < 0 ? quotient - 1 : quotient;
}

// The business days from the reference Monday up to and including `day`
// (negative before it), so that a distance is one subtraction.
std::int64_t BusinessDaysThrough(std::int32_t day) {
    const std::int64_t offset = day - kReferenceMonday;
    const std::int64_t weeks = FloorDivide(offset, 7);
    const std::int64_t weekday = offset - 7 * weeks; // 0 Monday .. 6 Sunday
    return 5 * weeks + (weekday < 5 ? weekday + 1 : 5);
}

} // namespace

std::int32_t BusinessDaysAfter(std::int32_t from, std::int32_t to) {
    if (to <= from) {
        return 0;
    }
    return static_cast<std::int32_t>(BusinessDaysThrough(to) - BusinessDaysThrough(from));
}

} // namespace mvr
