#include "ChartTestData.h"

#include "server/DataFolderWriter.h"
#include "SmallDataFolder.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>

namespace mvr::test {

namespace {

constexpr std::int32_t kSessionStart = 9 * 3600;
constexpr std::int32_t kSessionMinutes = 8 * 60 + 30;
constexpr int kMinuteDays = 4;

// A step of up to `percent` of `units`, either way, kept within the prices
// the client carries exactly.
std::int32_t Near(std::mt19937& random, std::int32_t units, int percent) {
    const std::int32_t spread = std::max(1, units / 100 * percent);
    std::uniform_int_distribution<std::int32_t> step(-spread, spread);
    return std::clamp(units + step(random), 1, kMaxPriceUnits / 2);
}

template <class Bar>
void SetPrices(std::mt19937& random, std::int32_t& close, Bar& bar, int percent) {
    bar.open = Near(random, close, percent);
    close = Near(random, close, percent);
    bar.close = close;
    std::uniform_int_distribution<std::int32_t> extra(0, std::max(1, close / 200));
    bar.high = std::max(bar.open, bar.close) + extra(random);
    bar.low = std::max(1, std::min(bar.open, bar.close) - extra(random));
    bar.volume = std::uniform_int_distribution<std::int32_t>(0, 5000000)(random);
}

std::vector<DailyBar> RandomDailyBars(std::mt19937& random) {
    std::int32_t close =
        std::uniform_int_distribution<std::int32_t>(50, kMaxPriceUnits / 4)(random);
    std::vector<DailyBar> bars;
    for (std::int32_t day = kChartFirstDay; day <= kChartToday; ++day) {
        if (random() % 7 == 0) {
            continue; // a day without trading
        }
        DailyBar bar;
        bar.day = day;
        SetPrices(random, close, bar, 3);
        bars.push_back(bar);
    }
    return bars;
}

std::vector<IntradayBar> RandomMinuteBars(std::mt19937& random) {
    std::int32_t close =
        std::uniform_int_distribution<std::int32_t>(50, kMaxPriceUnits / 4)(random);
    std::vector<IntradayBar> bars;
    for (std::int32_t day = kChartToday - kMinuteDays + 1; day <= kChartToday; ++day) {
        for (std::int32_t minute = 0; minute < kSessionMinutes; ++minute) {
            if (random() % 10 == 0) {
                continue;
            }
            IntradayBar bar;
            bar.day = day;
            bar.secondsOfDay = kSessionStart + 60 * minute;
            SetPrices(random, close, bar, 1);
            bars.push_back(bar);
        }
    }
    return bars;
}

} // namespace

CChartTestData::CChartTestData() {
    ServerTables tables = SmallTables();
    for (int decimals = 0; decimals <= kMaxDecimals; ++decimals) {
        ServerInstrument instrument;
        instrument.sinCode = ChartSinCode(decimals);
        instrument.securityType = 1;
        instrument.exchange = 1; // its session starts at 09:00
        instrument.symbol = "D" + std::to_string(decimals);
        instrument.name = "Decimals " + std::to_string(decimals);
        instrument.currency = "EUR";
        instrument.decimals = decimals;
        tables.instruments.push_back(instrument);
    }
    WriteDataFolder(folder_.Path(), tables);
    const CDataFolderWriter writer(folder_.Path());
    std::mt19937 random(20050310);
    for (int decimals = 0; decimals <= kMaxDecimals; ++decimals) {
        EXPECT_TRUE(
            writer.WriteDailyBars(ChartSinCode(decimals), decimals, RandomDailyBars(random)));
    }
    for (int decimals : kMinuteDecimals) {
        EXPECT_TRUE(
            writer.WriteIntradayBars(ChartSinCode(decimals), decimals, RandomMinuteBars(random)));
    }
    DataError error;
    data_ = CServerData::Open(folder_.Path(), &error);
    EXPECT_TRUE(data_) << error.Text();
}

} // namespace mvr::test
