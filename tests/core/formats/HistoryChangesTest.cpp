// The counts of bars added and changed that the update job reports.

#include "core/formats/HistoryChanges.h"

#include <gtest/gtest.h>

namespace mvr {
namespace {

PERIODE Bar(std::int32_t day, std::int32_t seconds, float close, std::int32_t volume = 1) {
    PERIODE bar;
    bar.dayNumber = day;
    bar.secondsOfDay = seconds;
    bar.open = bar.high = bar.low = bar.close = close;
    bar.volume = volume;
    return bar;
}

TEST(HistoryChangesTest, CountsNewTimesAndChangedValues) {
    const PriceHistory before = {Bar(10, 0, 1.0f), Bar(11, 0, 2.0f), Bar(11, 600, 3.0f),
                                 Bar(13, 0, 4.0f)};
    // Day 10 deleted, day 11 09:00 changed volume only, day 11 00:10 kept,
    // day 12 and day 11 00:20 new, day 13 changed price.
    const PriceHistory after = {Bar(11, 0, 2.0f, 9), Bar(11, 600, 3.0f), Bar(11, 1200, 3.5f),
                                Bar(12, 0, 5.0f), Bar(13, 0, 4.5f)};
    const HistoryChanges changes = CountHistoryChanges(before, after);
    EXPECT_EQ(changes.added, 2);
    EXPECT_EQ(changes.changed, 2);
}

TEST(HistoryChangesTest, EmptyHistories) {
    const PriceHistory some = {Bar(1, 0, 1.0f), Bar(2, 0, 1.0f)};
    EXPECT_EQ(CountHistoryChanges({}, some).added, 2);
    EXPECT_EQ(CountHistoryChanges(some, {}).added, 0);
    EXPECT_EQ(CountHistoryChanges(some, {}).changed, 0);
    EXPECT_EQ(CountHistoryChanges(some, some).added, 0);
    EXPECT_EQ(CountHistoryChanges(some, some).changed, 0);
}

} // namespace
} // namespace mvr
