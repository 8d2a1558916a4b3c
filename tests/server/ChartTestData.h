#pragma once

// A price server data folder for the price history tests: the small tables
// plus one instrument for each number of decimal places 0..6, each with
// random daily bars over 400 days and, for some, 1-minute bars of the last
// four days.

#include "server/ServerData.h"
#include "support/TempDir.h"

#include <cstdint>
#include <memory>

namespace mvr::test {

inline constexpr std::int32_t kChartFirstDay = 732000;
inline constexpr std::int32_t kChartDays = 400;
// The server's today: the last day with daily bars.
inline constexpr std::int32_t kChartToday = kChartFirstDay + kChartDays - 1;
// The instrument with d decimals.
inline constexpr std::int32_t ChartSinCode(int decimals) {
    return 2000 + decimals;
}
// Instruments with 1-minute bars (09:00-17:30 of the last four days).
inline constexpr int kMinuteDecimals[] = {0, 3, 6};
inline constexpr std::int32_t kUnknownSinCode = 9999;
// The account check number of the account "valid1".
inline constexpr std::int32_t kValidCheckNumber = 70;

class CChartTestData {
public:
    CChartTestData();
    const CServerData& Data() const { return *data_; }

private:
    TempDir folder_;
    std::unique_ptr<CServerData> data_;
};

} // namespace mvr::test
