#pragma once

// Shared helpers of the directory tests: dates, symbols and copies of the
// MetaStock folders written by other programs.

#include "core/formats/DayNumber.h"
#include "core/formats/ExportSymbolInfo.h"
#include "core/formats/Periode.h"
#include "support/TempDir.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace mvr::test {

inline double OleDay(int d, int m, int y) {
    return DayNumberToPlainOleDate(
        DatumToDayNumber(DATUM{static_cast<std::uint8_t>(d), static_cast<std::uint8_t>(m),
                               static_cast<std::uint16_t>(y)}));
}

inline ExportSymbolInfo NewSymbol(const std::string& symbol, std::int32_t sinCode,
                                  const std::string& name = "") {
    ExportSymbolInfo s;
    s.symbol = symbol;
    s.sinCode = sinCode;
    s.name = name;
    return s;
}

// `count` bars of `interval` minutes from 9:00 of `first` on, 24 to a day,
// on consecutive days; every price and volume differs from the bar before.
inline PriceHistory IntradayBars(DATUM first, int count, int interval) {
    PriceHistory bars;
    for (int k = 0; k < count; ++k) {
        PERIODE bar;
        bar.dayNumber = DatumToDayNumber(first) + k / 24;
        bar.secondsOfDay = 9 * 3600 + (k % 24) * interval * 60;
        bar.close = 100.0f + 0.25f * static_cast<float>(k);
        bar.open = bar.close - 0.125f;
        bar.high = bar.close + 0.5f;
        bar.low = bar.open - 0.5f;
        bar.volume = 1000 + k;
        bar.isNew = 1;
        bars.push_back(bar);
    }
    return bars;
}

inline std::string ForeignFolder(const std::string& name) {
    return std::string(MVR_TESTDATA_DIR) + "/metastock/" + name + "/";
}

// A writable copy of a folder of the test data, below `dir`.
inline std::string CopyOfForeignFolder(const TempDir& dir, const std::string& name) {
    const std::string target = dir.File(name) + "/";
    // Without the trailing separators, which the Windows C runtime does not take.
    std::filesystem::copy(std::string(MVR_TESTDATA_DIR) + "/metastock/" + name, dir.File(name),
                          std::filesystem::copy_options::recursive);
    return target;
}

// Byte buffers compared with the first differing offset in the message.
inline ::testing::AssertionResult SameBytes(const std::vector<std::uint8_t>& actual,
                                            const std::vector<std::uint8_t>& expected) {
    const std::size_t n = std::min(actual.size(), expected.size());
    for (std::size_t i = 0; i < n; ++i) {
        if (actual[i] != expected[i]) {
            return ::testing::AssertionFailure()
                   << "byte " << i << " is " << int{actual[i]} << ", expected " << int{expected[i]};
        }
    }
    if (actual.size() != expected.size()) {
        return ::testing::AssertionFailure()
               << "size " << actual.size() << ", expected " << expected.size();
    }
    return ::testing::AssertionSuccess();
}

} // namespace mvr::test
