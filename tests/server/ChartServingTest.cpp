// The running server answers the price history requests 4 and 7 from its
// data folder, with the same fault injection as every other request.

#include "core/formats/DayNumber.h"
#include "core/update/PriceHistoryRequest.h"
#include "server/DataFolderWriter.h"
#include "SmallDataFolder.h"
#include "TestPriceServer.h"

#include <gtest/gtest.h>
#include <vector>

namespace mvr {
namespace {

constexpr std::int32_t kCheckNumber = 70; // of account valid1
constexpr std::int32_t kSinCode = 1001;   // two decimal places, session from 09:00

struct ServedFolder {
    test::TempDir dir;
    std::int32_t today = TodayDayNumber();

    ServedFolder() {
        test::WriteDataFolder(dir.Path());
        std::vector<DailyBar> daily;
        for (std::int32_t day = today - 10; day < today; ++day) {
            daily.push_back(test::Daily(day, 1000, 1100, 900, 1050, day % 1000));
        }
        std::vector<IntradayBar> minutes;
        for (std::int32_t minute = 0; minute < 30; ++minute) {
            minutes.push_back(
                {today - 1, 9 * 3600 + 60 * minute, 1000, 1040, 990, 1000 + minute, 10});
        }
        const CDataFolderWriter writer(dir.Path());
        EXPECT_TRUE(writer.WriteDailyBars(kSinCode, 2, daily));
        EXPECT_TRUE(writer.WriteIntradayBars(kSinCode, 2, minutes));
    }
};

ServeOptions WithFaults(FaultOptions faults) {
    ServeOptions options = test::TestServeOptions();
    options.faults = faults;
    return options;
}

std::vector<JAHRESCHARTARRAY> DailyEntries(std::int32_t first, std::int32_t last) {
    JAHRESCHARTARRAY known;
    known.SInCode = kSinCode;
    known.startDay = first;
    known.endDay = last;
    JAHRESCHARTARRAY unknown = known;
    unknown.SInCode = 424242;
    return {known, unknown};
}

std::vector<JAHRESCHARTARRAY> IntradayEntry(std::int32_t day, std::int32_t interval) {
    JAHRESCHARTARRAY entry;
    entry.SInCode = kSinCode;
    entry.startDay = day;
    entry.endDay = day;
    entry.daysBack = -1;
    entry.interval = interval;
    return {entry};
}

TEST(ChartServingTest, DailyBarsOfTheAskedDaysForAValidCheckNumber) {
    ServedFolder folder;
    test::TestPriceServer server(folder.dir.Path(), test::TestServeOptions());
    const RunFlag run{1};
    auto entries = DailyEntries(folder.today - 5, folder.today - 2);
    ASSERT_EQ(RequestDailyBars(entries, kCheckNumber, run).outcome, ChartRequestOutcome::Complete);
    ASSERT_TRUE(entries[0].answered);
    ASSERT_EQ(entries[0].bars->size(), 4u);
    EXPECT_EQ(entries[0].bars->front().dayNumber, folder.today - 5);
    EXPECT_FLOAT_EQ(entries[0].bars->front().close, 10.50f);
    EXPECT_FLOAT_EQ(entries[0].bars->front().high, 11.00f);
    // An instrument the server does not know is answered without bars.
    ASSERT_TRUE(entries[1].answered);
    EXPECT_TRUE(entries[1].bars->empty());

    // A number that is no account check's gets an answer without entries.
    auto refused = DailyEntries(folder.today - 5, folder.today - 2);
    EXPECT_EQ(RequestDailyBars(refused, 12345, run).outcome, ChartRequestOutcome::Complete);
    EXPECT_FALSE(refused[0].answered);
    const auto lines = server.WaitForLogLines(2);
    EXPECT_EQ(test::CountLines(lines, "code=4 "), 2u);
}

TEST(ChartServingTest, IntradayBarsAggregatedToTheAskedInterval) {
    ServedFolder folder;
    test::TestPriceServer server(folder.dir.Path(), test::TestServeOptions());
    const RunFlag run{1};
    auto entries = IntradayEntry(folder.today - 1, 10);
    ASSERT_EQ(RequestIntradayBars(entries, kCheckNumber, run).outcome,
              ChartRequestOutcome::Complete);
    ASSERT_TRUE(entries[0].answered);
    // 30 minutes from 09:00 make three 10-minute bars.
    ASSERT_EQ(entries[0].bars->size(), 3u);
    EXPECT_EQ(entries[0].bars->at(1).secondsOfDay, 9 * 3600 + 600);
    EXPECT_FLOAT_EQ(entries[0].bars->back().close, 10.29f);
    EXPECT_EQ(entries[0].bars->back().volume, 100);
    EXPECT_EQ(test::CountLines(server.WaitForLogLines(1), "code=7 "), 1u);
}

TEST(ChartServingTest, FaultsApplyToThePriceRequests) {
    ServedFolder folder;
    const RunFlag run{1};
    {
        test::TestPriceServer cut(folder.dir.Path(), WithFaults({40, {}, false, 0}));
        auto daily = DailyEntries(folder.today - 5, folder.today - 2);
        EXPECT_EQ(RequestDailyBars(daily, kCheckNumber, run).outcome, ChartRequestOutcome::Failed);
        auto intraday = IntradayEntry(folder.today - 1, 10);
        EXPECT_EQ(RequestIntradayBars(intraday, kCheckNumber, run).outcome,
                  ChartRequestOutcome::Failed);
        EXPECT_FALSE(intraday[0].answered);
    }
    {
        test::TestPriceServer refusing(folder.dir.Path(), WithFaults({std::nullopt, {}, true, 0}));
        auto daily = DailyEntries(folder.today - 5, folder.today - 2);
        EXPECT_EQ(RequestDailyBars(daily, kCheckNumber, run).outcome, ChartRequestOutcome::Failed);
        EXPECT_FALSE(daily[0].answered);
    }
}

} // namespace
} // namespace mvr
