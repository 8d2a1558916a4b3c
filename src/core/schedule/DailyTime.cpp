#include "core/schedule/DailyTime.h"

#include <cstdio>

namespace mvr {

namespace {

std::optional<int> TwoDigits(std::string_view text) {
    if (text.size() != 2 || text[0] < '0' || text[0] > '9' || text[1] < '0' || text[1] > '9') {
        return std::nullopt;
    }
    return (text[0] - '0') * 10 + (text[1] - '0');
}

} // namespace

std::optional<DailyTime> ParseDailyTime(std::string_view text) {
    if (text.size() != 5 || text[2] != ':') {
        return std::nullopt;
    }
    const auto hour = TwoDigits(text.substr(0, 2));
    const auto minute = TwoDigits(text.substr(3, 2));
    if (!hour || !minute) {
        return std::nullopt;
    }
    const DailyTime time{*hour, *minute};
    return IsValidDailyTime(time) ? std::optional(time) : std::nullopt;
}

bool IsValidDailyTime(DailyTime time) {
    return time.hour >= 0 && time.hour <= 23 && time.minute >= 0 && time.minute <= 59;
}

std::string DailyTimeText(DailyTime time) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d:%02d", time.hour, time.minute);
    return text;
}

} // namespace mvr
