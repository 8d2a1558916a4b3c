// Report times carry the offset from UTC of their moment.

#include "core/platform/LocalTime.h"

#include "support/TempDir.h"

#include <ctime>
#include <gtest/gtest.h>
#include <optional>

namespace mvr {
namespace {

// 2025-07-15 10:20:30 UTC.
const auto kSummerMoment = std::chrono::system_clock::from_time_t(1752574830);

// The process's time zone for the lifetime of the object.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone) {
        variable_.emplace("TZ", zone);
        Apply();
    }
    ~ScopedTimeZone() {
        variable_.reset();
        Apply();
    }

private:
    static void Apply() {
#ifdef _WIN32
        _tzset();
#else
        tzset();
#endif
    }
    std::optional<test::ScopedEnvironment> variable_;
};

TEST(LocalTimeTest, TheOffsetFollowsTheTimeZone) {
    const std::pair<const char*, const char*> zones[] = {
        {"UTC0", "2025-07-15T10:20:30+00:00"},
        {"IST-5:30", "2025-07-15T15:50:30+05:30"},
        {"BRT3", "2025-07-15T07:20:30-03:00"},
        {"NPT-5:45", "2025-07-15T16:05:30+05:45"},
    };
    for (const auto& [zone, expected] : zones) {
        ScopedTimeZone scoped(zone);
        EXPECT_EQ(LocalIso8601Time(kSummerMoment), expected) << zone;
    }
}

#ifndef _WIN32
TEST(LocalTimeTest, DaylightSavingTimeChangesTheOffset) {
    ScopedTimeZone scoped("CET-1CEST,M3.5.0,M10.5.0/3");
    EXPECT_EQ(LocalIso8601Time(kSummerMoment), "2025-07-15T12:20:30+02:00");
    // 2025-01-15 10:20:30 UTC
    EXPECT_EQ(LocalIso8601Time(std::chrono::system_clock::from_time_t(1736936430)),
              "2025-01-15T11:20:30+01:00");
}
#endif

} // namespace
} // namespace mvr
