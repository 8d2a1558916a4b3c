#include "core/health/SymbolHealth.h"

#include "core/formats/ExportDataFile.h"
#include "core/formats/FormatCatalogue.h"
#include "HealthTestBars.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace mvr {
namespace {

using test::TempDir;

ExportSymbolInfo Symbol(const std::string& text, std::int32_t fileNumber = 0) {
    ExportSymbolInfo symbol;
    symbol.symbol = text;
    symbol.fileNumber = fileNumber;
    return symbol;
}

// Five bars from Monday 3.1.2005; the fourth with a negative volume when asked.
void WriteHistory(const std::string& folder, const ExportSymbolInfo& symbol, int type,
                  bool negativeVolume = false, std::int32_t secondsOfDay = 0) {
    CExportDataFile file;
    file.BuildFileName(folder, symbol, type);
    for (std::int32_t i = 0; i < 5; ++i) {
        PERIODE bar = test::Bar(test::Day(3, 1, 2005) + i, 10.0f, 11.0f, 9.0f, 10.5f,
                                negativeVolume && i == 3 ? -7 : 100, secondsOfDay);
        bar.isNew = 1;
        file.History().push_back(bar);
    }
    ASSERT_TRUE(file.Write(true));
}

TEST(SymbolHealthTest, EverySymbolOfAFolderHasAState) {
    TempDir dir;
    WriteHistory(dir.Path(), Symbol("GOOD"), kFormatAsciiComma);
    WriteHistory(dir.Path(), Symbol("FAULTY"), kFormatAsciiComma, true);
    test::WriteBytes(dir.File("BROKEN.prn"), {'?', '\n'});
    const std::vector<ExportSymbolInfo> symbols = {
        Symbol("GOOD"), Symbol("FAULTY"), Symbol("NOFILE"), Symbol("BROKEN"), Symbol("../GOOD")};
    std::atomic<bool> run{true};
    const auto results = CheckDirectoryHealth(dir.Path(), symbols, kFormatAsciiComma, {}, run);
    ASSERT_EQ(results.size(), symbols.size());
    EXPECT_EQ(results[0].state, SymbolHealthState::Healthy);
    EXPECT_EQ(results[1].state, SymbolHealthState::Findings);
    ASSERT_EQ(results[1].findings.size(), 1u);
    EXPECT_EQ(results[1].findings[0].row, 3u);
    EXPECT_EQ(results[2].state, SymbolHealthState::NoData);
    EXPECT_EQ(results[3].state, SymbolHealthState::Unreadable);
    EXPECT_EQ(results[3].problem, "cannot read " + dir.File("BROKEN.prn"));
    // A symbol text that would leave the folder names no file.
    EXPECT_EQ(results[4].problem, "the symbol names no data file");
    // Type 7 ("The Option Trader") names files but has no reader.
    EXPECT_EQ(CheckSymbolHealth(dir.Path(), Symbol("MS", 1), 7, {}).problem,
              "no reader for the files of format 7");

    // A cleared run flag stops before the next symbol.
    run = false;
    EXPECT_TRUE(CheckDirectoryHealth(dir.Path(), symbols, kFormatAsciiComma, {}, run).empty());
}

TEST(SymbolHealthTest, MetaStockSeriesWithoutAnOpenField) {
    // Five daily fields, or six with the time of an intraday series, leave no
    // room for the open: the 0 read there is no fault.
    TempDir daily;
    ExportSymbolInfo symbol = Symbol("MS", 1);
    symbol.fieldCount = 5;
    WriteHistory(daily.Path(), symbol, kFormatMetaStock, true);
    SymbolHealth health = CheckSymbolHealth(daily.Path(), symbol, kFormatMetaStock, {});
    EXPECT_FALSE(health.intraday);
    ASSERT_EQ(health.findings.size(), 1u);
    EXPECT_EQ(health.findings[0].description, "volume -7");

    TempDir intraday;
    symbol.fieldCount = 6;
    symbol.period = kPeriodIntraday;
    WriteHistory(intraday.Path(), symbol, kFormatMetaStock, false, 9 * 3600 + 30 * 60);
    health = CheckSymbolHealth(intraday.Path(), symbol, kFormatMetaStock, {});
    EXPECT_TRUE(health.intraday);
    EXPECT_EQ(health.state, SymbolHealthState::Healthy);
}

} // namespace
} // namespace mvr
