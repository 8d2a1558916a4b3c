#include "core/formats/DayNumber.h"
#include "core/formats/ExportDataFile.h"
#include "core/formats/ExportDirectory.h"
#include "core/formats/Periode.h"
#include "DirCatRun.h"
#include "support/LongSymbolFolder.h"
#include "support/Sweep.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <set>
#include <sstream>

namespace mvr {
namespace {

using test::Lines;
using test::ReadText;
using test::RunDirCat;
using test::TempDir;
using Outcome = test::DirCatOutcome;

std::string Folder(const std::string& name) {
    return std::string(MVR_TESTDATA_DIR) + "/metastock/" + name;
}

std::vector<std::string> ExpectedListing(const std::string& name) {
    return Lines(ReadText(Folder("expected/" + name + ".csv")));
}

TEST(DirCatTest, ListsAForeignFolderAsAnIndependentReaderDoes) {
    const Outcome run = RunDirCat({Folder("mixed-case-xmaster")});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const auto lines = Lines(run.out);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "format,4,MetaStock");
    // "#SYMBOL,sym,name,file,fields,first,last" against "sym,name,sincode,file,fields,first,last".
    std::set<std::string> expected;
    for (const std::string& line : ExpectedListing("mixed-case-xmaster")) {
        if (line.starts_with("#SYMBOL,")) {
            const std::string rest = line.substr(8);
            std::size_t fileField = rest.size();
            for (int i = 0; i < 4; ++i) {
                fileField = rest.rfind(',', fileField - 1);
            }
            expected.insert(rest.substr(0, fileField) + ",0" + rest.substr(fileField));
        }
    }
    const std::set<std::string> listed(lines.begin() + 1, lines.end());
    EXPECT_EQ(listed.size(), 462u);
    EXPECT_EQ(listed, expected);
}

// The expected bar lines of one symbol, without their symbol column.
std::vector<std::string> ExpectedBars(const std::string& listing, const std::string& symbol) {
    std::vector<std::string> bars;
    for (const std::string& line : ExpectedListing(listing)) {
        if (line.starts_with(symbol + ",")) {
            bars.push_back(line.substr(symbol.size() + 1));
        }
    }
    return bars;
}

std::vector<double> Numbers(const std::string& line) {
    std::vector<double> numbers;
    std::stringstream in(line);
    for (std::string field; std::getline(in, field, ',');) {
        numbers.push_back(field.empty() ? 0.0 : std::stod(field));
    }
    return numbers;
}

TEST(DirCatTest, PrintsTheBarsOfForeignSymbols) {
    // Symbols of daily series whose records have an open: the printed bars
    // agree with the listing within its precision (a volume may differ by 1).
    std::vector<std::string> symbols = {"ASR", "RAT", "RCF", "TMEAZA"};
    if (test::LongTestsEnabled()) {
        for (const std::string& line : ExpectedListing("mixed-case-xmaster")) {
            if (line.starts_with("#SYMBOL,")) {
                symbols.push_back(line.substr(8, line.find(',', 8) - 8));
            }
        }
    }
    for (const std::string& symbol : symbols) {
        const Outcome run = RunDirCat({Folder("mixed-case-xmaster"), symbol});
        ASSERT_EQ(run.exitCode, 0) << symbol << run.err;
        const auto printed = Lines(run.out);
        const auto expected = ExpectedBars("mixed-case-xmaster", symbol);
        ASSERT_EQ(printed.size(), expected.size()) << symbol;
        for (std::size_t i = 0; i < printed.size(); ++i) {
            const auto got = Numbers(printed[i]);
            auto want = Numbers(expected[i]);
            // The listing shows the fields as stored; the tool shows corrected bars.
            PERIODE bar;
            bar.open = static_cast<float>(want[1]);
            bar.high = static_cast<float>(want[2]);
            bar.low = static_cast<float>(want[3]);
            bar.close = static_cast<float>(want[4]);
            CorrectBar(bar);
            want[1] = bar.open;
            want[2] = bar.high;
            want[3] = bar.low;
            want[4] = bar.close;
            ASSERT_EQ(got.size(), 6u) << printed[i];
            ASSERT_EQ(got[0], want[0]) << symbol << " " << printed[i];
            for (std::size_t f = 1; f <= 4; ++f) {
                ASSERT_NEAR(got[f], want[f], 5.01e-6 + 6e-7 * want[f])
                    << symbol << " " << printed[i];
            }
            ASSERT_NEAR(got[5], want[5], 1.0) << symbol << " " << printed[i];
        }
    }
}

TEST(DirCatTest, ABrokenXmasterStillListsTheMasterSymbols) {
    const Outcome run = RunDirCat({Folder("broken-xmaster")});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(Lines(run.out).size(), 41u);
    const Outcome bars = RunDirCat({Folder("broken-xmaster"), "US"});
    ASSERT_EQ(bars.exitCode, 0);
    // The open of 0 in the file is corrected to the close.
    EXPECT_EQ(Lines(bars.out)[0], "19850102,2.6187425,2.6187425,2.6187425,2.6187425,10817");
}

TEST(DirCatTest, LongSymbolsAreListedAndPrintedInFull) {
    TempDir dir;
    test::WriteLongSymbolFolder(dir.Path());
    const Outcome run = RunDirCat({dir.Path()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const auto lines = Lines(run.out);
    std::vector<std::string> listed;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        listed.push_back(lines[i].substr(0, lines[i].find(',')));
    }
    std::vector<std::string> expected;
    for (const test::LongSymbolSeries& series : test::LongSymbolFolderSeries()) {
        expected.push_back(series.symbol);
        // Each symbol's own bars: the close is the series' file number.
        const Outcome bars = RunDirCat({dir.Path(), series.symbol});
        ASSERT_EQ(bars.exitCode, 0) << series.symbol << bars.err;
        const std::string number = std::to_string(series.fileNumber);
        EXPECT_EQ(bars.out,
                  "20050307," + number + "," + number + "," + number + "," + number + ",100\n")
            << series.symbol;
    }
    EXPECT_EQ(listed, expected);
    EXPECT_EQ(RunDirCat({dir.Path(), "BIOTEC.O"}).exitCode, 1);
}

double OleDay(int d, int m, int y) {
    return DayNumberToPlainOleDate(
        DatumToDayNumber(DATUM{static_cast<std::uint8_t>(d), static_cast<std::uint8_t>(m),
                               static_cast<std::uint16_t>(y)}));
}

void WriteFolder(const std::string& path, int type) {
    CExportDirectory directory(type);
    ASSERT_TRUE(directory.Create(path, OleDay(3, 1, 2005), type));
    for (int i = 1; i <= 3; ++i) {
        ExportSymbolInfo s;
        s.symbol = "SYM" + std::to_string(i);
        s.sinCode = 100 + i;
        s.name = i == 2 ? "Comma, \"quoted\" name" : "Name " + std::to_string(i);
        ASSERT_TRUE(directory.AddSymbol(s));
        CExportDataFile file;
        file.BuildFileName(path, s, type);
        for (int d = 0; d < 2; ++d) {
            PERIODE bar;
            bar.dayNumber = DatumToDayNumber(DATUM{3, 1, 2005}) + d;
            bar.secondsOfDay = type == 21 ? 9 * 3600 + 30 * 60 + d : 0;
            bar.open = 10.5f;
            bar.high = 11.25f;
            bar.low = 10.0f;
            bar.close = 10.75f + 0.125f * static_cast<float>(i);
            bar.volume = 1000 * i + d;
            bar.isNew = 1;
            file.History().push_back(bar);
        }
        ASSERT_TRUE(file.Write(false));
        directory.GetSymbol(directory.SymbolCount() - 1).lastDate = file.GetLastDate();
    }
    ASSERT_TRUE(directory.Save());
}

TEST(DirCatTest, FoldersWrittenByThisSystem) {
    TempDir dir;
    WriteFolder(dir.Path(), 4);
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    Outcome run = RunDirCat({dir.Path()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    // MetaStock keeps no server numbers.
    EXPECT_EQ(run.out, "format,4,MetaStock\n"
                       "SYM1,Name 1,0,1,7,20050103,20050104\n"
                       "SYM2,\"Comma, \"\"quoted\"\" name\",0,2,7,20050103,20050104\n"
                       "SYM3,Name 3,0,3,7,20050103,20050104\n");
    run = RunDirCat({dir.Path(), "SYM3"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "20050103,10.5,11.25,10,11.125,3000\n20050104,10.5,11.25,10,11.125,3001\n");

    TempDir intraday;
    WriteFolder(intraday.Path(), 21);
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    run = RunDirCat({intraday.Path()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(Lines(run.out)[0], "format,21,Ascii: Comma Delimited Intraday");
    EXPECT_EQ(Lines(run.out)[1], "SYM1,Name 1,101,0,7,20050103,20050104");
    run = RunDirCat({intraday.Path(), "SYM1"});
    EXPECT_EQ(run.out, "20050103,093000,10.5,11.25,10,10.875,1000\n"
                       "20050104,093001,10.5,11.25,10,10.875,1001\n");

    TempDir hermes;
    WriteFolder(hermes.Path(), 17);
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    run = RunDirCat({hermes.Path()});
    EXPECT_EQ(run.exitCode, 1); // no index file to detect
    EXPECT_NE(run.err.find("--format 17"), std::string::npos);
    run = RunDirCat({"--format", "17", hermes.Path()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(Lines(run.out)[0], "format,17,Hermes");
    EXPECT_EQ(Lines(run.out)[2], "SYM2,SYM2,0,0,7,20050103,20050104");
    run = RunDirCat({"--format=17", hermes.Path(), "SYM2"});
    EXPECT_EQ(run.out, "20050103,10.5,11.25,10,11,2000\n20050104,10.5,11.25,10,11,2001\n");
}

TEST(DirCatTest, ClearMessagesAndExitCodes) {
    TempDir dir;
    Outcome run = RunDirCat({dir.File("missing")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("not a folder"), std::string::npos);
    EXPECT_EQ(run.out, "");

    run = RunDirCat({dir.Path()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("no directory index"), std::string::npos);

    test::WriteBytes(dir.File("MASTER"), {1, 2, 3});
    run = RunDirCat({dir.Path()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("MASTER is shorter than its header"), std::string::npos);

    run = RunDirCat({Folder("broken-xmaster"), "NOSUCH"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("no symbol NOSUCH"), std::string::npos);

    for (const auto& args : std::vector<std::vector<std::string>>{{},
                                                                  {"--format"},
                                                                  {"--format", "23", dir.Path()},
                                                                  {"--format", "x", dir.Path()},
                                                                  {"--bogus", dir.Path()},
                                                                  {dir.Path(), "A", "B"}}) {
        run = RunDirCat(args);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_NE(run.err.find("Usage: mvr-dircat"), std::string::npos);
    }
    run = RunDirCat({"--help"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.out.find("Usage: mvr-dircat"), std::string::npos);
}

} // namespace
} // namespace mvr
