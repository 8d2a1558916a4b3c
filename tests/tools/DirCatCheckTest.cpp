#include "core/formats/DayNumber.h"
#include "core/formats/ExportDataFile.h"
#include "core/formats/ExportDirectory.h"
#include "core/formats/Mbf.h"
#include "DirCatRun.h"
#include "support/TempDir.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <utility>

namespace mvr {
namespace {

using test::Lines;
using test::RunDirCat;
using test::TempDir;
using Outcome = test::DirCatOutcome;
using Histories = std::vector<std::pair<std::string, PriceHistory>>;

const std::string kHeader = "symbol,row,date,time,kind,split,factor,detail";

// Twelve business days from Monday 3.1.2005; the close runs through 20,
// 20.25, 20.5, 20.75, the open is the close and the range half a unit each way.
PriceHistory CleanHistory(std::int32_t secondsOfDay = 0) {
    PriceHistory bars;
    for (std::int32_t i = 0; i < 12; ++i) {
        const float close = 20.0f + 0.25f * static_cast<float>(i % 4);
        bars.push_back(PERIODE{.secondsOfDay = secondsOfDay,
                               .open = close,
                               .high = close + 0.5f,
                               .low = close - 0.5f,
                               .close = close,
                               .volume = 1000 + i,
                               .dayNumber = DatumToDayNumber(DATUM{3, 1, 2005}) + i + 2 * (i / 5),
                               .sourcePos = -1,
                               .isNew = 1});
    }
    return bars;
}

// Each symbol's history through the format's own writer.
void WriteFolder(const std::string& path, int type, const Histories& histories) {
    CExportDirectory directory(type);
    ASSERT_TRUE(directory.Create(path, 0.0, type));
    for (const auto& [text, bars] : histories) {
        ExportSymbolInfo symbol;
        symbol.symbol = text;
        symbol.sinCode = static_cast<std::int32_t>(100 + directory.SymbolCount());
        ASSERT_TRUE(directory.AddSymbol(symbol));
        CExportDataFile file;
        file.BuildFileName(path, symbol, type);
        file.History() = bars;
        ASSERT_TRUE(file.Write(true));
    }
    ASSERT_TRUE(directory.Save());
}

// An ASCII folder (whose writer keeps every value as it is) of one clean
// symbol and one symbol per kind of finding.
void WritePlantedFolder(const std::string& path) {
    const PriceHistory clean = CleanHistory();
    PriceHistory order = clean, twice = clean, high = clean, low = clean, zero = clean,
                 negativeVolume = clean, gap = clean, jump = clean;
    std::swap(order[5].dayNumber, order[6].dayNumber);
    twice[6].dayNumber = twice[5].dayNumber;
    high[4].high = 19.875f;
    low[4].low = 20.125f;
    zero[4].open = 0.0f;
    negativeVolume[4].volume = -1004;
    for (std::size_t i = 5; i < gap.size(); ++i) {
        gap[i].dayNumber += 14;
    }
    for (std::size_t i = 8; i < jump.size(); ++i) {
        for (float* price : {&jump[i].open, &jump[i].high, &jump[i].low, &jump[i].close}) {
            *price /= 2.0f;
        }
    }
    WriteFolder(path, kFormatAsciiComma,
                {{"CLEAN", clean},
                 {"ORDER", order},
                 {"TWICE", twice},
                 {"HIGH", high},
                 {"LOW", low},
                 {"ZERO", zero},
                 {"NEGVOL", negativeVolume},
                 {"GAP", gap},
                 {"JUMP", jump}});
}

TEST(DirCatCheckTest, FindsOneFaultOfEachKind) {
    TempDir dir;
    WritePlantedFolder(dir.Path());
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    const Outcome run = RunDirCat({"--check", dir.Path()});
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_EQ(Lines(run.out),
              (std::vector<std::string>{
                  kHeader,
                  "ORDER,6,20050110,,out-of-order,,,earlier than the bar before it (11.01.2005)",
                  "TWICE,6,20050110,,duplicate,,,same date as the bar before",
                  "HIGH,4,20050107,,high-below,,,high 19.875 below open 20 and close 20",
                  "LOW,4,20050107,,low-above,,,low 20.125 above open 20 and close 20",
                  "ZERO,4,20050107,,non-positive-price,,,not above zero: open 0",
                  "NEGVOL,4,20050107,,negative-volume,,,volume -1004",
                  "GAP,5,20050124,,gap,,,11 business days after the bar of 07.01.2005",
                  "JUMP,8,20050113,,jump,2:1,0.5,close 10 after 20.75 (-51.8 %) like a 2:1 split",
              }));

    // One symbol, and the limits moved past its finding.
    EXPECT_EQ(Lines(RunDirCat({"--check", dir.Path(), "GAP"}).out).size(), 2u);
    const std::vector<std::vector<std::string>> passing = {
        {"--check", dir.Path(), "CLEAN"},
        {"--check", "--gap-days", "11", dir.Path(), "GAP"},
        {"--jump-percent=52", "--check", dir.Path(), "JUMP"}};
    for (const auto& args : passing) {
        const Outcome clean = RunDirCat(args);
        EXPECT_EQ(clean.exitCode, 0) << args.back() << clean.err;
        EXPECT_EQ(clean.out, kHeader + "\n");
    }
    EXPECT_EQ(RunDirCat({"--check", "--gap-days=10", dir.Path(), "GAP"}).exitCode, 1);
    EXPECT_EQ(RunDirCat({"--check", "--jump-percent", "51.5", dir.Path(), "JUMP"}).exitCode, 1);
}

TEST(DirCatCheckTest, CleanFoldersGiveTheHeaderAlone) {
    for (const auto& [type, secondsOfDay] : std::vector<std::pair<int, std::int32_t>>{
             {kFormatMetaStock, 0}, {kFormatAsciiTab, 0}, {kFormatAsciiIntraday, 34200}}) {
        TempDir dir;
        WriteFolder(dir.Path(), type,
                    {{"ONE", CleanHistory(secondsOfDay)}, {"TWO", CleanHistory(secondsOfDay)}});
        ASSERT_FALSE(::testing::Test::HasFatalFailure());
        const Outcome run = RunDirCat({"--check", dir.Path()});
        EXPECT_EQ(run.exitCode, 0) << type << run.err;
        EXPECT_EQ(run.out, kHeader + "\n") << type;
    }
}

TEST(DirCatCheckTest, IntradayFindingsCarryTheirTime) {
    TempDir dir;
    PriceHistory bars = CleanHistory(34200);
    bars[2].dayNumber = bars[1].dayNumber;
    WriteFolder(dir.Path(), kFormatAsciiIntraday, {{"TICK", bars}});
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    EXPECT_EQ(
        Lines(RunDirCat({"--check", dir.Path()}).out),
        (std::vector<std::string>{
            kHeader, "TICK,2,20050104,093000,duplicate,,,same date and time as the bar before"}));
}

// The MetaStock writer corrects bars, so the faults go into the bytes; the
// ordinary read would correct them again.
TEST(DirCatCheckTest, FaultsTheMetaStockReaderWouldHide) {
    TempDir dir;
    WriteFolder(dir.Path(), kFormatMetaStock, {{"MS", CleanHistory()}});
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    auto bytes = test::ReadBytes(dir.File("F1.DAT"));
    constexpr std::size_t kRecord = 28; // date, open, high, low, close, volume, open interest
    StoreMbf(&bytes[3 * kRecord + 4 * 2], 19.5f);    // row 2: the high below the close
    StoreMbf(&bytes[4 * kRecord + 4 * 5], -1003.0f); // row 3: a negative volume
    StoreMbf(&bytes[6 * kRecord + 4 * 1], 0.0f);     // row 5: no open
    test::WriteBytes(dir.File("F1.DAT"), bytes);

    const Outcome run = RunDirCat({"--check", dir.Path()});
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_EQ(Lines(run.out),
              (std::vector<std::string>{
                  kHeader, "MS,2,20050105,,high-below,,,high 19.5 below open 20.5 and close 20.5",
                  "MS,3,20050106,,negative-volume,,,volume -1003",
                  "MS,5,20050110,,non-positive-price,,,not above zero: open 0"}));
    EXPECT_EQ(Lines(RunDirCat({dir.Path(), "MS"}).out)[2], "20050105,20.5,20.5,20,20.5,1002");
}

TEST(DirCatCheckTest, ReadErrorsAreExitStatusTwo) {
    TempDir dir;
    WriteFolder(dir.Path(), kFormatAsciiComma,
                {{"GOOD", CleanHistory()}, {"BAD", CleanHistory()}, {"NOFILE", {}}});
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    // Text without a single bar line is no price file of the format.
    test::WriteBytes(dir.File("BAD.prn"), {'n', 'o', '\n'});
    std::remove(dir.File("NOFILE.prn").c_str());
    Outcome run = RunDirCat({"--check", dir.Path()});
    EXPECT_EQ(run.exitCode, 2) << run.err;
    EXPECT_EQ(Lines(run.out),
              (std::vector<std::string>{kHeader,
                                        "BAD,,,,unreadable,,,cannot read " + dir.File("BAD.prn")}));
    // A symbol without a data file has nothing to check.
    EXPECT_EQ(RunDirCat({"--check", dir.Path(), "NOFILE"}).exitCode, 0);

    run = RunDirCat({"--check", dir.Path(), "NOSUCH"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("no symbol NOSUCH"), std::string::npos);
    EXPECT_EQ(run.out, "");
    TempDir noIndex;
    for (const std::string& folder : {dir.File("missing"), noIndex.Path()}) {
        EXPECT_EQ(RunDirCat({"--check", folder}).exitCode, 2) << folder;
        // Without --check these stay 1.
        EXPECT_EQ(RunDirCat({folder}).exitCode, 1) << folder;
    }
}

TEST(DirCatCheckTest, WrongLimitsAreUsageErrors) {
    TempDir dir;
    WriteFolder(dir.Path(), kFormatAsciiComma, {{"ONE", CleanHistory()}});
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    for (const auto& args :
         std::vector<std::vector<std::string>>{{"--check", "--gap-days", "0", dir.Path()},
                                               {"--check", "--gap-days", "2.5", dir.Path()},
                                               {"--check", "--gap-days=", dir.Path()},
                                               {"--check", dir.Path(), "--gap-days"},
                                               {"--check", "--jump-percent", "-10", dir.Path()},
                                               {"--check", "--jump-percent", "ten", dir.Path()},
                                               {"--check", "--jump-percent", "inf", dir.Path()},
                                               {"--gap-days", "3", dir.Path()},
                                               {"--jump-percent", "30", dir.Path(), "ONE"}}) {
        const Outcome run = RunDirCat(args);
        EXPECT_EQ(run.exitCode, 2) << args[1] << " " << args[2];
        EXPECT_NE(run.err.find("Usage: mvr-dircat"), std::string::npos);
        EXPECT_EQ(run.out, "");
    }
    EXPECT_NE(RunDirCat({"--help"}).out.find(kHeader), std::string::npos);
}

} // namespace
} // namespace mvr
