#include "core/health/SymbolHealth.h"

#include "core/formats/ExportDataFile.h"
#include "core/formats/FormatCatalogue.h"
#include "core/formats/Mbf.h"
#include "HealthTestBars.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace mvr {
namespace {

using test::Day;
using test::Flat;
using test::TempDir;

PriceHistory FiveDays() {
    const std::int32_t monday = Day(3, 1, 2005);
    PriceHistory bars;
    for (std::int32_t i = 0; i < 5; ++i) {
        bars.push_back(test::Bar(monday + i, 10.0f, 11.0f, 9.0f, 10.5f, 100 + i));
        bars.back().isNew = 1;
    }
    return bars;
}

ExportSymbolInfo Symbol(const std::string& text, std::int32_t fileNumber = 0) {
    ExportSymbolInfo symbol;
    symbol.symbol = text;
    symbol.fileNumber = fileNumber;
    return symbol;
}

void WriteHistory(const std::string& folder, const ExportSymbolInfo& symbol, int type,
                  const PriceHistory& bars) {
    CExportDataFile file;
    file.BuildFileName(folder, symbol, type);
    file.History() = bars;
    ASSERT_TRUE(file.Write(true));
}

TEST(SymbolHealthTest, EverySymbolOfAFolderHasAState) {
    TempDir dir;
    PriceHistory faulty = FiveDays();
    faulty[3].volume = -7;
    WriteHistory(dir.Path(), Symbol("GOOD"), kFormatAsciiComma, FiveDays());
    WriteHistory(dir.Path(), Symbol("FAULTY"), kFormatAsciiComma, faulty);
    test::WriteBytes(dir.File("BROKEN.prn"), {'?', '\n'});
    const std::vector<ExportSymbolInfo> symbols = {
        Symbol("GOOD"), Symbol("FAULTY"), Symbol("NOFILE"), Symbol("BROKEN"), Symbol("../GOOD")};
    const std::atomic<bool> run{true};
    const auto results = CheckDirectoryHealth(dir.Path(), symbols, kFormatAsciiComma, {}, run);
    ASSERT_EQ(results.size(), symbols.size());
    EXPECT_EQ(results[0].state, SymbolHealthState::Healthy);
    EXPECT_EQ(results[1].state, SymbolHealthState::Findings);
    ASSERT_EQ(results[1].findings.size(), 1u);
    EXPECT_EQ(results[1].findings[0].row, 3u);
    EXPECT_EQ(results[1].findings[0].kind, HealthFindingKind::NegativeVolume);
    EXPECT_EQ(results[2].state, SymbolHealthState::NoData);
    EXPECT_EQ(results[3].state, SymbolHealthState::Unreadable);
    EXPECT_EQ(results[3].problem, "cannot read " + dir.File("BROKEN.prn"));
    // A symbol text that would leave the folder names no file.
    EXPECT_EQ(results[4].state, SymbolHealthState::Unreadable);
    EXPECT_EQ(results[4].problem, "the symbol names no data file");
}

TEST(SymbolHealthTest, AStoppedCheckEndsBeforeTheNextSymbol) {
    TempDir dir;
    WriteHistory(dir.Path(), Symbol("GOOD"), kFormatAsciiComma, FiveDays());
    const std::vector<ExportSymbolInfo> symbols(3, Symbol("GOOD"));
    const std::atomic<bool> stopped{false};
    EXPECT_TRUE(CheckDirectoryHealth(dir.Path(), symbols, kFormatAsciiComma, {}, stopped).empty());
}

TEST(SymbolHealthTest, TheFileIsCheckedAsStored) {
    // The MetaStock writer corrects bars, so the fault goes into the bytes.
    TempDir dir;
    const ExportSymbolInfo symbol = Symbol("MS", 1);
    WriteHistory(dir.Path(), symbol, kFormatMetaStock, FiveDays());
    auto bytes = test::ReadBytes(dir.File("F1.DAT"));
    constexpr std::size_t kRecord = 28; // 7 fields: date, open, high, low, close, volume, interest
    StoreMbf(&bytes[2 * kRecord + 4 * 5], -101.0f);
    test::WriteBytes(dir.File("F1.DAT"), bytes);

    const SymbolHealth health = CheckSymbolHealth(dir.Path(), symbol, kFormatMetaStock, {});
    EXPECT_EQ(health.state, SymbolHealthState::Findings);
    EXPECT_FALSE(health.intraday);
    ASSERT_EQ(health.findings.size(), 1u);
    EXPECT_EQ(health.findings[0].description, "volume -101");
}

TEST(SymbolHealthTest, FiveFieldMetaStockFilesKeepNoOpen) {
    TempDir dir;
    ExportSymbolInfo symbol = Symbol("MS5", 1);
    symbol.fieldCount = 5;
    WriteHistory(dir.Path(), symbol, kFormatMetaStock, FiveDays());
    EXPECT_EQ(CheckSymbolHealth(dir.Path(), symbol, kFormatMetaStock, {}).state,
              SymbolHealthState::Healthy);
}

TEST(SymbolHealthTest, IntradayMetaStockSeriesCarryTheirTime) {
    // Six fields with a time field leave no room for the open either.
    TempDir dir;
    ExportSymbolInfo symbol = Symbol("MSI", 1);
    symbol.period = kPeriodIntraday;
    symbol.fieldCount = 6;
    PriceHistory bars = FiveDays();
    for (PERIODE& bar : bars) {
        bar.secondsOfDay = 9 * 3600 + 30 * 60;
    }
    bars[4].dayNumber = bars[3].dayNumber;
    WriteHistory(dir.Path(), symbol, kFormatMetaStock, bars);
    const SymbolHealth health = CheckSymbolHealth(dir.Path(), symbol, kFormatMetaStock, {});
    EXPECT_TRUE(health.intraday);
    ASSERT_EQ(health.findings.size(), 1u);
    EXPECT_EQ(health.findings[0].kind, HealthFindingKind::Duplicate);
    EXPECT_EQ(health.findings[0].secondsOfDay, 9 * 3600 + 30 * 60);
}

TEST(SymbolHealthTest, AFormatWithoutReaderCannotBeChecked) {
    TempDir dir;
    const SymbolHealth health =
        CheckSymbolHealth(dir.Path(), Symbol("MS", 1), kFormatMetaStockIntraday, {});
    EXPECT_EQ(health.state, SymbolHealthState::Unreadable);
    EXPECT_EQ(health.problem, "no reader for the files of format 20");
}

} // namespace
} // namespace mvr
