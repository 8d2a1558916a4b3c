#pragma once

// The local time of day at which a scheduled update runs.

#include <optional>
#include <string>
#include <string_view>

namespace mvr {

struct DailyTime {
    int hour = 0;   // 0..23
    int minute = 0; // 0..59

    bool operator==(const DailyTime&) const = default;
};

// "HH:MM" with two digits each, from 00:00 to 23:59; nothing for anything else.
std::optional<DailyTime> ParseDailyTime(std::string_view text);

bool IsValidDailyTime(DailyTime time);

// "07:30".
std::string DailyTimeText(DailyTime time);

} // namespace mvr
