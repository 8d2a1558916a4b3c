#include "core/platform/OleDate.h"

#include <gtest/gtest.h>

namespace mvr {
namespace {

SystemTime Make(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    SystemTime t;
    t.year = static_cast<std::uint16_t>(y);
    t.month = static_cast<std::uint16_t>(mo);
    t.day = static_cast<std::uint16_t>(d);
    t.hour = static_cast<std::uint16_t>(h);
    t.minute = static_cast<std::uint16_t>(mi);
    t.second = static_cast<std::uint16_t>(s);
    return t;
}

double ToOle(const SystemTime& t) {
    double v = -1e9;
    EXPECT_TRUE(SystemTimeToVariantTime(t, &v));
    return v;
}

TEST(OleDateTest, KnownDates) {
    EXPECT_DOUBLE_EQ(ToOle(Make(1899, 12, 30)), 0.0);
    EXPECT_DOUBLE_EQ(ToOle(Make(2000, 1, 1, 12)), 36526.5);
    EXPECT_DOUBLE_EQ(ToOle(Make(2005, 3, 7)), 38418.0);
    EXPECT_DOUBLE_EQ(ToOle(Make(100, 1, 1)), kOleDateMin);
    EXPECT_DOUBLE_EQ(ToOle(Make(9999, 12, 31)), 2958465.0);
}

TEST(OleDateTest, DatesBeforeTheEpochCountTheTimeForward) {
    EXPECT_DOUBLE_EQ(ToOle(Make(1899, 12, 29, 6)), -1.25);
    SystemTime t;
    ASSERT_TRUE(VariantTimeToSystemTime(-1.25, &t));
    EXPECT_EQ(t.year, 1899);
    EXPECT_EQ(t.day, 29);
    EXPECT_EQ(t.hour, 6);
    ASSERT_TRUE(VariantTimeToSystemTime(-0.5, &t));
    EXPECT_EQ(t.day, 30);
    EXPECT_EQ(t.hour, 12);
}

TEST(OleDateTest, RoundTripsEverySecondFieldAndReportsTheWeekday) {
    const SystemTime in = Make(2024, 2, 29, 23, 59, 59);
    SystemTime out;
    ASSERT_TRUE(VariantTimeToSystemTime(ToOle(in), &out));
    EXPECT_EQ(out.year, 2024);
    EXPECT_EQ(out.month, 2);
    EXPECT_EQ(out.day, 29);
    EXPECT_EQ(out.hour, 23);
    EXPECT_EQ(out.minute, 59);
    EXPECT_EQ(out.second, 59);
    EXPECT_EQ(out.dayOfWeek, 4); // a Thursday
}

TEST(OleDateTest, RoundsToTheNearestSecondAcrossMidnight) {
    SystemTime t;
    ASSERT_TRUE(VariantTimeToSystemTime(36526.0 + 0.4 / 86400, &t));
    EXPECT_EQ(t.second, 0);
    ASSERT_TRUE(VariantTimeToSystemTime(36526.9999999, &t));
    EXPECT_EQ(t.day, 2);
    EXPECT_EQ(t.hour, 0);
    ASSERT_TRUE(VariantTimeToSystemTime(-1.9999999, &t));
    EXPECT_EQ(t.year, 1899);
    EXPECT_EQ(t.day, 30);
}

TEST(OleDateTest, RejectsWhatThePlatformRejects) {
    double v = 0;
    EXPECT_FALSE(SystemTimeToVariantTime(Make(99, 12, 31), &v));
    EXPECT_FALSE(SystemTimeToVariantTime(Make(10000, 1, 1), &v));
    EXPECT_FALSE(SystemTimeToVariantTime(Make(2005, 2, 29), &v));
    EXPECT_FALSE(SystemTimeToVariantTime(Make(2005, 13, 1), &v));
    EXPECT_FALSE(SystemTimeToVariantTime(Make(2005, 1, 1, 24), &v));
    SystemTime t;
    EXPECT_FALSE(VariantTimeToSystemTime(kOleDateMin - 1, &t));
    EXPECT_FALSE(VariantTimeToSystemTime(2958466.0, &t));
    EXPECT_FALSE(VariantTimeToSystemTime(std::numeric_limits<double>::quiet_NaN(), &t));
}

TEST(OleDateTest, CurrentUtcDateIsPlausible) {
    const double now = CurrentUtcOleDate();
    EXPECT_GT(now, ToOle(Make(2020, 1, 1)));
    EXPECT_LT(now, ToOle(Make(2200, 1, 1)));
}

} // namespace
} // namespace mvr
