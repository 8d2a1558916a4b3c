#include "core/health/BusinessDays.h"

#include "HealthTestBars.h"

#include <chrono>
#include <gtest/gtest.h>

namespace mvr {
namespace {

using test::Day;

TEST(BusinessDaysTest, WeekendsDoNotCount) {
    // 7.1.2005 is a Friday.
    EXPECT_EQ(BusinessDaysAfter(Day(7, 1, 2005), Day(10, 1, 2005)), 1);
    EXPECT_EQ(BusinessDaysAfter(Day(8, 1, 2005), Day(9, 1, 2005)), 0);
    EXPECT_EQ(BusinessDaysAfter(Day(8, 1, 2005), Day(10, 1, 2005)), 1);
    EXPECT_EQ(BusinessDaysAfter(Day(3, 1, 2005), Day(10, 1, 2005)), 5);
    EXPECT_EQ(BusinessDaysAfter(Day(3, 1, 2005), Day(11, 1, 2005)), 6);
    EXPECT_EQ(BusinessDaysAfter(Day(31, 12, 2004), Day(31, 12, 2005)), 260);
    // Nothing backwards or on the same day.
    EXPECT_EQ(BusinessDaysAfter(Day(4, 1, 2005), Day(4, 1, 2005)), 0);
    EXPECT_EQ(BusinessDaysAfter(Day(10, 1, 2005), Day(3, 1, 2005)), 0);
}

// Against a day-by-day count with the standard library's weekdays, on both
// sides of the reference Monday of 1900 where the week arithmetic turns negative.
TEST(BusinessDaysTest, AgreesWithCountingDayByDay) {
    using namespace std::chrono;
    const auto isBusinessDay = [](std::int32_t day) {
        const DATUM date = DayNumberToDatum(day);
        const weekday wd{sys_days{year{date.year} / month{date.month} / date.day}};
        return wd != Saturday && wd != Sunday;
    };
    for (const std::int32_t from : {Day(20, 12, 1899), Day(27, 12, 1899), Day(1, 1, 1900),
                                    Day(28, 2, 1850), Day(15, 6, 2024)}) {
        std::int32_t counted = 0;
        for (std::int32_t to = from + 1; to <= from + 30; ++to) {
            counted += isBusinessDay(to) ? 1 : 0;
            ASSERT_EQ(BusinessDaysAfter(from, to), counted)
                << FormatDayNumber(from) << " to " << FormatDayNumber(to);
        }
    }
}

} // namespace
} // namespace mvr
