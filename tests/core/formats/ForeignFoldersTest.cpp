// MetaStock folders written by other programs, read by the directory and
// data-file objects and compared with what an independent reader printed for
// them (tests/data/metastock/SOURCES.md describes the listings and the known
// harmless differences).

#include "core/formats/DayNumber.h"
#include "core/formats/ExportDataFile.h"
#include "core/formats/ExportDirectory.h"
#include "FolderFixtures.h"

#include <cmath>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sstream>

namespace mvr {
namespace {

using test::ForeignFolder;

struct ExpectedBar {
    std::int32_t dayNumber = 0;
    std::optional<double> time; // HHMMSS as a number
    std::optional<double> open; // empty when the file has no open field
    double high = 0, low = 0, close = 0, volume = 0;
};

struct ExpectedSymbol {
    std::string symbol;
    std::string name;
    int fieldCount = 0;
    std::string firstDate;
    std::string lastDate;
    std::vector<ExpectedBar> bars;
};

std::vector<std::string> Split(const std::string& line) {
    std::vector<std::string> fields;
    std::stringstream in(line);
    std::string field;
    while (std::getline(in, field, ',')) {
        fields.push_back(field);
    }
    if (!line.empty() && line.back() == ',') {
        fields.emplace_back();
    }
    return fields;
}

std::int32_t DayOf(const std::string& yyyymmdd) {
    const int value = std::stoi(yyyymmdd);
    return DatumToDayNumber(DATUM{static_cast<std::uint8_t>(value % 100),
                                  static_cast<std::uint8_t>((value / 100) % 100),
                                  static_cast<std::uint16_t>(value / 10000)});
}

// The listing, by file number. All symbol lines come first; bar lines name
// their symbol (unique within each listing).
std::map<int, ExpectedSymbol> ReadListing(const std::string& name) {
    std::ifstream in(std::string(MVR_TESTDATA_DIR) + "/metastock/expected/" + name + ".csv");
    std::map<int, ExpectedSymbol> symbols;
    std::map<std::string, ExpectedSymbol*> bySymbol;
    std::string line;
    while (std::getline(in, line)) {
        const auto f = Split(line);
        if (line.starts_with("#SYMBOL,")) {
            // The name may hold commas: it is everything between symbol and file number.
            const std::size_t n = f.size();
            ExpectedSymbol s;
            s.symbol = f[1];
            for (std::size_t i = 2; i + 4 < n; ++i) {
                s.name += (i > 2 ? "," : "") + f[i];
            }
            s.fieldCount = std::stoi(f[n - 3]);
            s.firstDate = f[n - 2];
            s.lastDate = f[n - 1];
            ExpectedSymbol& entry = symbols[std::stoi(f[n - 4])];
            entry = s;
            bySymbol[s.symbol] = &entry;
            continue;
        }
        const auto owner = bySymbol.find(f.empty() ? "" : f[0]);
        if (owner == bySymbol.end() || f.size() < 7) {
            continue;
        }
        ExpectedSymbol* current = owner->second;
        ExpectedBar bar;
        std::size_t i = 1;
        bar.dayNumber = DayOf(f[i++]);
        if (f.size() == 8) {
            bar.time = std::stod(f[i++]);
        }
        if (!f[i].empty()) {
            bar.open = std::stod(f[i]);
        }
        ++i;
        bar.high = std::stod(f[i++]);
        bar.low = std::stod(f[i++]);
        bar.close = std::stod(f[i++]);
        bar.volume = std::stod(f[i++]);
        current->bars.push_back(bar);
    }
    return symbols;
}

// The listing prints names in UTF-8; the files hold single-byte texts.
std::string Latin1OfUtf8(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if ((c == 0xC2 || c == 0xC3) && i + 1 < text.size()) {
            out.push_back(static_cast<char>(((c & 0x1F) << 6) | (text[++i] & 0x3F)));
        } else {
            out.push_back(static_cast<char>(c));
        }
    }
    return out;
}

std::string DateText(double oleDate) {
    if (oleDate == 0.0) {
        return "";
    }
    const DATUM d = DayNumberToDatum(OleDateToDayNumber(oleDate));
    char text[16];
    std::snprintf(text, sizeof text, "%04u%02u%02u", unsigned{d.year}, unsigned{d.month},
                  unsigned{d.day});
    return text;
}

// What this system's reader makes of an expected bar: the bar correction
// applied; the time of an intraday ('I') series is compared on its own.
PERIODE AsRead(const ExpectedBar& e) {
    PERIODE bar;
    bar.dayNumber = e.dayNumber;
    bar.open = static_cast<float>(e.open.value_or(0));
    bar.high = static_cast<float>(e.high);
    bar.low = static_cast<float>(e.low);
    bar.close = static_cast<float>(e.close);
    bar.volume = static_cast<std::int32_t>(e.volume);
    CorrectBar(bar);
    return bar;
}

std::int32_t SecondsOf(double hhmmss) {
    const auto value = static_cast<std::int32_t>(hhmmss);
    return value / 10000 * 3600 + value / 100 % 100 * 60 + value % 100;
}

::testing::AssertionResult SamePrice(float ours, float printed) {
    // The listing prints at most 7 significant digits and at most 5 decimals.
    const double tolerance = 5.01e-6 + 6e-7 * std::fabs(printed);
    if (std::fabs(ours - printed) <= tolerance) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << ours << " vs " << printed;
}

void ExpectSameAsListing(const std::string& folder, const std::string& listing) {
    const auto expected = ReadListing(listing);
    ASSERT_FALSE(expected.empty()) << listing;
    CExportDirectory directory;
    ASSERT_EQ(directory.DetectFormat(ForeignFolder(folder)), 4);
    ASSERT_TRUE(directory.Open(ForeignFolder(folder), 4)) << directory.Problem();
    ASSERT_EQ(directory.SymbolCount(), expected.size());
    std::size_t bars = 0;
    for (const ExportSymbolInfo& s : directory.Symbols()) {
        SCOPED_TRACE(s.symbol);
        const auto it = expected.find(s.fileNumber);
        ASSERT_NE(it, expected.end());
        const ExpectedSymbol& e = it->second;
        EXPECT_EQ(s.symbol, e.symbol);
        EXPECT_EQ(s.name, Latin1OfUtf8(e.name));
        EXPECT_EQ(s.fieldCount, e.fieldCount);
        EXPECT_EQ(DateText(s.firstDate), e.firstDate);
        EXPECT_EQ(DateText(s.lastDate), e.lastDate);

        CExportDataFile file;
        file.UseFolderListing(&directory.FolderListing());
        ASSERT_TRUE(file.Read(directory.Path(), s, 4));
        const PriceHistory& history = file.History();
        ASSERT_EQ(history.size(), e.bars.size());
        EXPECT_EQ(file.IsIntradaySeries(), s.period == kPeriodIntraday);
        for (std::size_t i = 0; i < history.size(); ++i) {
            const ExpectedBar& printed = e.bars[i];
            const PERIODE want = AsRead(printed);
            const PERIODE& got = history[i];
            ASSERT_EQ(got.dayNumber, want.dayNumber) << "bar " << i;
            if (printed.time) {
                ASSERT_EQ(got.secondsOfDay, SecondsOf(*printed.time)) << "time of bar " << i;
            }
            if (i > 0 && file.IsIntradaySeries()) {
                ASSERT_TRUE(IsEarlierBar(history[i - 1], got)) << "bar " << i << " out of order";
            }
            ASSERT_TRUE(SamePrice(got.open, want.open)) << "open of bar " << i;
            ASSERT_TRUE(SamePrice(got.high, want.high)) << "high of bar " << i;
            ASSERT_TRUE(SamePrice(got.low, want.low)) << "low of bar " << i;
            ASSERT_TRUE(SamePrice(got.close, want.close)) << "close of bar " << i;
            ASSERT_LE(std::abs(got.volume - want.volume), 1) << "volume of bar " << i;
            ASSERT_EQ(got.sourcePos, static_cast<std::int32_t>(i));
        }
        bars += history.size();
    }
    EXPECT_GT(bars, 0u);
}

TEST(ForeignFoldersTest, MixedCaseFolderWithXmaster) {
    ExpectSameAsListing("mixed-case-xmaster", "mixed-case-xmaster");
}

TEST(ForeignFoldersTest, EightFieldIntradayFolder) {
    ExpectSameAsListing("mixed-case-xmaster/Intraday", "mixed-case-xmaster-Intraday");
}

TEST(ForeignFoldersTest, SevenFieldIntradaySeries) {
    ExpectSameAsListing("intraday-7field", "intraday-7field");
}

TEST(ForeignFoldersTest, ABrokenXmasterKeepsTheMasterSymbols) {
    ExpectSameAsListing("broken-xmaster", "broken-xmaster");
    CExportDirectory directory;
    ASSERT_TRUE(directory.Open(ForeignFolder("broken-xmaster"), 4));
    // A 12-byte XMASTER holds nothing readable: it does not stop a later save.
    EXPECT_FALSE(directory.IsWriteProtected());
}

} // namespace
} // namespace mvr
