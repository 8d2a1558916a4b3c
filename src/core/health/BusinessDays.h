#pragma once

// Trading-day distances for telling a holiday from a hole in a price
// history: Monday to Friday count, Saturday and Sunday do not. Holidays are
// not known to the system and count as business days.

#include <cstdint>

namespace mvr {

// The business days after `from` up to and including `to`: Friday to the
// following Monday is 1, Monday to the next Monday 5. 0 when `to` is not
// after `from`.
std::int32_t BusinessDaysAfter(std::int32_t from, std::int32_t to);

} // namespace mvr
