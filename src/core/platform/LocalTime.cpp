#include "core/platform/LocalTime.h"

#include "core/platform/OleDate.h"

#include <cstdio>
#include <ctime>

namespace mvr {

namespace {

std::tm LocalCalendarTime(std::time_t time) {
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &time);
#else
    localtime_r(&time, &local);
#endif
    return local;
}

// The local wall-clock time read as if it were UTC, minus the real moment:
// no tm_gmtoff needed, which the Windows runtime lacks.
long OffsetFromUtc(const std::tm& local, std::time_t time) {
    const std::int64_t days = DaysFromCivil(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    const std::int64_t wallSeconds =
        days * 86400 + local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
    return static_cast<long>(wallSeconds - static_cast<std::int64_t>(time));
}

} // namespace

std::string LocalIso8601Time(std::chrono::system_clock::time_point when) {
    const std::time_t time = std::chrono::system_clock::to_time_t(when);
    const std::tm local = LocalCalendarTime(time);
    const long offset = OffsetFromUtc(local, time);
    const long minutes = (offset < 0 ? -offset : offset) / 60;
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02ld:%02ld",
                  local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                  local.tm_min, local.tm_sec, offset < 0 ? '-' : '+', minutes / 60, minutes % 60);
    return text;
}

} // namespace mvr
