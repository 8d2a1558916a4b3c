#include "server/MinuteBarAggregation.h"

#include <gtest/gtest.h>
#include <limits>

namespace mvr {
namespace {

constexpr std::int32_t kDay = 739000;

std::int32_t At(int hours, int minutes) {
    return hours * 3600 + minutes * 60;
}

IntradayBar Minute(std::int32_t day, std::int32_t time, std::int32_t open, std::int32_t high,
                   std::int32_t low, std::int32_t close, std::int32_t volume) {
    return IntradayBar{day, time, open, high, low, close, volume};
}

TEST(MinuteBarAggregationTest, OneMinuteGivesTheBarsBack) {
    const std::vector<IntradayBar> minutes = {Minute(kDay, At(9, 0), 10, 12, 9, 11, 5),
                                              Minute(kDay, At(9, 2), 11, 11, 10, 10, 7)};
    EXPECT_EQ(AggregateMinuteBars(minutes, 1, At(9, 0)), minutes);
}

TEST(MinuteBarAggregationTest, BucketsTakeFirstOpenExtremesLastCloseAndSummedVolume) {
    const std::vector<IntradayBar> minutes = {
        Minute(kDay, At(9, 0), 10, 12, 9, 11, 5), Minute(kDay, At(9, 1), 11, 15, 11, 14, 1),
        Minute(kDay, At(9, 4), 14, 14, 8, 9, 2),  Minute(kDay, At(9, 5), 9, 10, 9, 10, 3),
        Minute(kDay, At(9, 14), 10, 10, 7, 8, 4), Minute(kDay + 1, At(9, 3), 20, 21, 19, 20, 6),
    };
    const std::vector<IntradayBar> expected = {
        Minute(kDay, At(9, 0), 10, 15, 8, 9, 8),
        Minute(kDay, At(9, 5), 9, 10, 9, 10, 3),
        Minute(kDay, At(9, 10), 10, 10, 7, 8, 4), // 09:05-09:09 traded only at 09:05
        Minute(kDay + 1, At(9, 0), 20, 21, 19, 20, 6),
    };
    EXPECT_EQ(AggregateMinuteBars(minutes, 5, At(9, 0)), expected);
}

TEST(MinuteBarAggregationTest, TheGridStartsAtTheSessionStart) {
    // A session from 09:30: hours are counted 09:30, 10:30, ...; a minute
    // before the start belongs to the hour that ends there.
    const std::vector<IntradayBar> minutes = {
        Minute(kDay, At(9, 29), 5, 5, 5, 5, 1), Minute(kDay, At(9, 30), 6, 6, 6, 6, 1),
        Minute(kDay, At(10, 29), 7, 7, 7, 7, 1), Minute(kDay, At(10, 30), 8, 8, 8, 8, 1)};
    const auto bars = AggregateMinuteBars(minutes, 60, At(9, 30));
    ASSERT_EQ(bars.size(), 3u);
    EXPECT_EQ(bars[0].secondsOfDay, At(8, 30));
    EXPECT_EQ(bars[1].secondsOfDay, At(9, 30));
    EXPECT_EQ(bars[1].close, 7);
    EXPECT_EQ(bars[2].secondsOfDay, At(10, 30));
}

TEST(MinuteBarAggregationTest, BucketsNeverReachBeforeMidnightOrAcrossDays) {
    const std::vector<IntradayBar> minutes = {
        Minute(kDay, At(0, 10), 5, 5, 5, 5, 1), Minute(kDay, At(8, 59), 6, 6, 6, 6, 1),
        Minute(kDay, At(9, 0), 7, 7, 7, 7, 1), Minute(kDay + 1, At(0, 0), 8, 8, 8, 8, 1)};
    // Ten-hour buckets from 09:00: the one before reaches back to 23:00 of the day before.
    const auto bars = AggregateMinuteBars(minutes, 600, At(9, 0));
    ASSERT_EQ(bars.size(), 3u);
    EXPECT_EQ(bars[0].secondsOfDay, 0);
    EXPECT_EQ(bars[0].close, 6);
    EXPECT_EQ(bars[1].secondsOfDay, At(9, 0));
    EXPECT_EQ(bars[2].day, kDay + 1);
}

TEST(MinuteBarAggregationTest, DayLongIntervalsGiveOneBarPerDay) {
    const std::vector<IntradayBar> minutes = {Minute(kDay, At(8, 0), 5, 6, 4, 5, 1),
                                              Minute(kDay, At(16, 0), 5, 9, 5, 8, 2),
                                              Minute(kDay + 1, At(9, 0), 8, 8, 8, 8, 1)};
    for (int interval : {1440, 5000}) {
        const auto bars = AggregateMinuteBars(minutes, interval, At(9, 30));
        ASSERT_EQ(bars.size(), 2u) << interval;
        EXPECT_EQ(bars[0], Minute(kDay, 0, 5, 9, 4, 8, 3));
    }
    EXPECT_TRUE(AggregateMinuteBars(minutes, 0, 0).empty());
    EXPECT_TRUE(AggregateMinuteBars(minutes, -5, 0).empty());
}

TEST(MinuteBarAggregationTest, SummedVolumeStopsAtTheLargest32BitNumber) {
    const std::int32_t big = std::numeric_limits<std::int32_t>::max() - 5;
    const std::vector<IntradayBar> minutes = {Minute(kDay, At(9, 0), 1, 1, 1, 1, big),
                                              Minute(kDay, At(9, 1), 1, 1, 1, 1, big)};
    const auto bars = AggregateMinuteBars(minutes, 5, At(9, 0));
    ASSERT_EQ(bars.size(), 1u);
    EXPECT_EQ(bars[0].volume, std::numeric_limits<std::int32_t>::max());
}

} // namespace
} // namespace mvr
