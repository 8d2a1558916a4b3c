#pragma once

// Points in time as people and log tools read them across time zones.

#include <chrono>
#include <string>

namespace mvr {

// ISO 8601 in local time with the offset from UTC of that moment, to the
// second: "2025-12-10T09:28:55+01:00" (daylight saving time included).
std::string LocalIso8601Time(std::chrono::system_clock::time_point when);

} // namespace mvr
