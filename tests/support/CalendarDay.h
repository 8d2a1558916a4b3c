#pragma once

// A calendar day as the day number the price files and the server count in.

#include "core/formats/DayNumber.h"

#include <cstdint>

namespace mvr::test {

inline std::int32_t Day(int d, int m, int y) {
    return DatumToDayNumber(DATUM{static_cast<std::uint8_t>(d), static_cast<std::uint8_t>(m),
                                  static_cast<std::uint16_t>(y)});
}

} // namespace mvr::test
