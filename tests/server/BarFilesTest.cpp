#include "server/BarFiles.h"

#include "core/formats/DayNumber.h"
#include "server/DemoRandom.h"

#include <gtest/gtest.h>

namespace mvr {
namespace {

std::int32_t Day(int day, int month, int year) {
    return DatumToDayNumber(DATUM{static_cast<std::uint8_t>(day), static_cast<std::uint8_t>(month),
                                  static_cast<std::uint16_t>(year)});
}

TEST(BarFilesTest, DailyBarsRoundTripAtEveryDecimalPlace) {
    const std::vector<DailyBar> bars = {{Day(2, 1, 2024), 1000, 1010, 990, 1005, 0},
                                        {Day(3, 1, 2024), 1, 4194304, 1, 2, 2147483647},
                                        {Day(5, 1, 2024), 7, 9, 6, 8, 12}};
    for (int decimals = 0; decimals <= 6; ++decimals) {
        const std::string text = FormatDailyBars(bars, decimals);
        std::vector<DailyBar> read;
        const auto error = ParseDailyBars(text, decimals, "daily/1.csv", &read);
        ASSERT_FALSE(error) << error->Text();
        EXPECT_EQ(read, bars) << decimals;
    }
    EXPECT_TRUE(FormatDailyBars(bars, 2).starts_with(
        "date,open,high,low,close,volume\n2024-01-02,10.00,10.10,9.90,10.05,0\n"
        "2024-01-03,0.01,41943.04,0.01,0.02,2147483647\n"));
}

TEST(BarFilesTest, IntradayBarsRoundTrip) {
    const std::vector<IntradayBar> bars = {{Day(2, 1, 2024), 0, 5, 6, 4, 5, 10},
                                           {Day(2, 1, 2024), 86340, 5, 5, 5, 5, 0},
                                           {Day(3, 1, 2024), 34200, 5, 7, 5, 6, 3}};
    const std::string text = FormatIntradayBars(bars, 3);
    EXPECT_NE(text.find("2024-01-02,23:59,0.005,"), std::string::npos);
    std::vector<IntradayBar> read;
    const auto error = ParseIntradayBars(text, 3, "intraday/1.csv", &read);
    ASSERT_FALSE(error) << error->Text();
    EXPECT_EQ(read, bars);
}

TEST(BarFilesTest, EachMalformedDailyLineGivesItsLineAndReason) {
    const std::string header = "date,open,high,low,close,volume\n";
    const std::string good = "2024-01-02,10.00,10.50,9.50,10.20,100\n";
    struct Case {
        std::string rows;
        int line;
        const char* message;
    };
    const Case cases[] = {
        {"2024-01-02,10.00,10.50,10.10,10.20,100\n", 2,
         "the prices break low <= open, close <= high"},
        {"2024-01-02,10.00,10.10,9.50,10.20,100\n", 2, "the prices break"},
        {"2024-01-02,10.60,10.50,9.50,10.20,100\n", 2, "the prices break"},
        {"2024-01-02,0,10.50,0,10.20,100\n", 2, "open '0' is not a price above 0"},
        {"2024-01-02,10.001,10.50,9.50,10.20,100\n", 2,
         "open '10.001' is not a price above 0 with at most 2 decimal places and at most 41943.04"},
        {"2024-01-02,10.00,41943.05,9.50,10.20,100\n", 2, "high '41943.05' is not a price"},
        {"2024-01-02,10.00,10.50,9.50,10.20,-1\n", 2,
         "volume '-1' is not a whole number from 0 to 2147483647"},
        {"2024-01-02,10.00,10.50,9.50,10.20,2147483648\n", 2, "volume '2147483648'"},
        {"02.01.2024,10.00,10.50,9.50,10.20,100\n", 2,
         "date '02.01.2024' is not a date YYYY-MM-DD"},
        {good + good, 3, "date 2024-01-02 is not after the date of the line before"},
        {good + "\n2024-01-01,10.00,10.50,9.50,10.20,100\n", 4, "is not after"},
        {good + "2024-01-03,10.00,10.50,9.50,10.20\n", 3,
         "expected 6 fields (date,open,high,low,close,volume), found 5"},
    };
    for (const Case& c : cases) {
        std::vector<DailyBar> bars;
        const auto error = ParseDailyBars(header + c.rows, 2, "daily/7.csv", &bars);
        ASSERT_TRUE(error) << c.message;
        EXPECT_EQ(error->file, "daily/7.csv");
        EXPECT_EQ(error->line, c.line) << c.message;
        EXPECT_NE(error->message.find(c.message), std::string::npos)
            << "expected: " << c.message << "\ngot: " << error->Text();
    }
    std::vector<DailyBar> bars;
    const auto wrongHeader = ParseDailyBars("date,open,high,low,close\n", 2, "daily/7.csv", &bars);
    ASSERT_TRUE(wrongHeader);
    EXPECT_EQ(wrongHeader->Text(),
              "daily/7.csv:1: the header line must be date,open,high,low,close,volume");
}

TEST(BarFilesTest, IntradayLinesMustAscendInDayAndTime) {
    const std::string header = "date,time,open,high,low,close,volume\n";
    struct Case {
        std::string rows;
        int line;
        const char* message;
    };
    const Case cases[] = {
        {"2024-01-02,09:01,1,1,1,1,0\n2024-01-02,09:00,1,1,1,1,0\n", 3,
         "date and time 2024-01-02 09:00 are not after those of the line before"},
        {"2024-01-02,09:01,1,1,1,1,0\n2024-01-02,09:01,1,1,1,1,0\n", 3, "are not after"},
        {"2024-01-03,09:00,1,1,1,1,0\n2024-01-02,17:00,1,1,1,1,0\n", 3, "are not after"},
        {"2024-01-02,09:00:30,1,1,1,1,0\n", 2, "time '09:00:30' is not a time of day HH:MM"},
        {"2024-01-02,1,1,1,1,0\n", 2, "expected 7 fields"},
    };
    for (const Case& c : cases) {
        std::vector<IntradayBar> bars;
        const auto error = ParseIntradayBars(header + c.rows, 0, "intraday/7.csv", &bars);
        ASSERT_TRUE(error) << c.message;
        EXPECT_EQ(error->line, c.line) << c.message;
        EXPECT_NE(error->message.find(c.message), std::string::npos) << error->Text();
    }
    std::vector<IntradayBar> bars;
    EXPECT_FALSE(
        ParseIntradayBars(header + "2024-01-02,09:00,1,1,1,1,0\n2024-01-03,08:00,1,1,1,1,0\n", 0,
                          "intraday/7.csv", &bars));
    EXPECT_EQ(bars.size(), 2u);
}

TEST(BarFilesTest, DamagedBarFilesNeverCrashTheParser) {
    std::vector<DailyBar> bars;
    for (int i = 0; i < 50; ++i) {
        bars.push_back({Day(1, 3, 2024) + i, 100, 120, 90, 110, i});
    }
    const std::string original = FormatDailyBars(bars, 2);
    CDemoRandom random(7);
    for (int round = 0; round < 500; ++round) {
        std::string damaged = original;
        damaged[random.Below(damaged.size())] = static_cast<char>(random.Next());
        damaged.resize(random.Below(damaged.size() + 1));
        std::vector<DailyBar> read;
        const auto error = ParseDailyBars(damaged, 2, "daily/1.csv", &read);
        if (!error) {
            for (const DailyBar& bar : read) {
                EXPECT_TRUE(HasSoundPrices(bar));
            }
        }
    }
}

} // namespace
} // namespace mvr
