// Damaged files: every index and price file is cut and overwritten at chosen
// offsets (all of them when MVR_LONG_TESTS=1). Reading never crashes or reads
// out of bounds (the suite runs under AddressSanitizer too), and a save or
// write after reading a damaged file never loses what could be read from it:
// either the file is rewritten with exactly what was read, or it is left alone.

#include "core/formats/ExportDataFile.h"
#include "core/formats/ExportDirectory.h"
#include "core/platform/FileSystem.h"
#include "FolderFixtures.h"
#include "support/Sweep.h"

#include <cmath>
#include <gtest/gtest.h>
#include <map>

namespace mvr {
namespace {

using test::NewSymbol;
using test::OleDay;
using test::ReadBytes;
using test::SweepPoints;
using test::TempDir;
using test::WriteBytes;

using Bytes = std::vector<std::uint8_t>;
using Files = std::map<std::string, Bytes>;

// The kinds of damage at one offset.
Bytes Damaged(Bytes bytes, std::size_t offset, int kind) {
    switch (kind) {
    case 0:
        bytes[offset] = 0x00;
        break;
    case 1:
        bytes[offset] = 0xFF;
        break;
    default:
        bytes[offset] ^= 0x55;
        break;
    }
    return bytes;
}

Files ReadFiles(const std::string& folder, const std::vector<std::string>& names) {
    Files files;
    for (const std::string& name : names) {
        if (IsRegularFile(folder + name)) {
            files[name] = ReadBytes(folder + name);
        }
    }
    return files;
}

void WriteFiles(const std::string& folder, const Files& files) {
    for (const auto& [name, bytes] : files) {
        WriteBytes(folder + name, bytes);
    }
}

// What a reader takes from an index: compared before and after a save.
struct Listed {
    std::string symbol;
    std::string name;
    std::int32_t fileNumber;
    std::int32_t fieldCount;
    double firstDate;
    double lastDate;
    bool operator==(const Listed&) const = default;
};

std::vector<Listed> ListOf(const CExportDirectory& directory) {
    std::vector<Listed> listed;
    for (const ExportSymbolInfo& s : directory.Symbols()) {
        // An empty name is written as the symbol.
        listed.push_back({s.symbol, s.name.empty() ? s.symbol : s.name, s.fileNumber, s.fieldCount,
                          s.firstDate, s.lastDate});
    }
    return listed;
}

// Opens the damaged folder, saves it, and checks that nothing readable was lost.
void CheckDamagedIndex(const std::string& folder, int type, const std::vector<std::string>& names,
                       const std::string& what) {
    std::vector<Listed> before;
    Files onDisk;
    bool saved = false;
    {
        CExportDirectory directory;
        if (!directory.Open(folder, type)) {
            return;
        }
        before = ListOf(directory);
        onDisk = ReadFiles(folder, names);
        saved = directory.Save();
        if (!saved) {
            ASSERT_EQ(ReadFiles(folder, names), onDisk) << what << ": a refused save wrote";
            return;
        }
    }
    CExportDirectory reread;
    ASSERT_TRUE(reread.Open(folder, type)) << what;
    ASSERT_EQ(ListOf(reread), before) << what;
}

class IndexCorruptionTest : public ::testing::Test {
protected:
    // A MetaStock folder of 3 MASTER and 3 XMASTER symbols.
    void BuildMetaStock() {
        CExportDirectory directory(4);
        ASSERT_TRUE(directory.Create(dir_.Path(), OleDay(1, 2, 2003), 4));
        for (int i = 1; i <= 258; ++i) {
            ExportSymbolInfo s =
                NewSymbol("S" + std::to_string(i), i, "Name of " + std::to_string(i));
            s.lastDate = OleDay(1 + i % 28, 3, 2005);
            ASSERT_TRUE(directory.AddSymbol(s));
        }
        for (int i = 1; i <= 252; ++i) {
            ASSERT_TRUE(directory.RemoveBySInCode(i));
        }
        ASSERT_TRUE(directory.Save());
        pristine_ = ReadFiles(dir_.Path(), kMetaStockNames);
        ASSERT_EQ(pristine_.size(), 3u);
    }

    void BuildAscii() {
        CExportDirectory directory(5);
        ASSERT_TRUE(directory.Create(dir_.Path(), OleDay(1, 2, 2003), 5));
        for (int i = 1; i <= 3; ++i) {
            ExportSymbolInfo s =
                NewSymbol("S" + std::to_string(i), i, "Name of " + std::to_string(i));
            ASSERT_TRUE(directory.AddSymbol(s));
        }
        ASSERT_TRUE(directory.Save());
        pristine_ = ReadFiles(dir_.Path(), kAsciiNames);
    }

    void Sweep(int type, const std::vector<std::string>& names, std::size_t recordSize) {
        for (const auto& [file, bytes] : pristine_) {
            for (const std::size_t cut : SweepPoints(bytes.size() + 1, recordSize)) {
                Files damaged = pristine_;
                damaged[file].resize(cut);
                WriteFiles(dir_.Path(), damaged);
                CheckDamagedIndex(dir_.Path(), type, names,
                                  file + " cut at " + std::to_string(cut));
                if (HasFatalFailure()) {
                    return;
                }
            }
            for (const std::size_t offset : SweepPoints(bytes.size(), recordSize)) {
                for (int kind = 0; kind < 3; ++kind) {
                    Files damaged = pristine_;
                    damaged[file] = Damaged(bytes, offset, kind);
                    WriteFiles(dir_.Path(), damaged);
                    CheckDamagedIndex(dir_.Path(), type, names,
                                      file + " damaged at " + std::to_string(offset));
                    if (HasFatalFailure()) {
                        return;
                    }
                }
            }
        }
    }

    const std::vector<std::string> kMetaStockNames = {"MASTER", "EMASTER", "XMASTER"};
    const std::vector<std::string> kAsciiNames = {"mvrexp.mas"};
    TempDir dir_;
    Files pristine_;
};

TEST_F(IndexCorruptionTest, MetaStockIndexFiles) {
    BuildMetaStock();
    ASSERT_FALSE(HasFatalFailure());
    Sweep(4, kMetaStockNames, 53);
}

TEST_F(IndexCorruptionTest, AsciiIndexFile) {
    BuildAscii();
    ASSERT_FALSE(HasFatalFailure());
    Sweep(5, kAsciiNames, ExportSymbolInfo::kSize);
}

TEST_F(IndexCorruptionTest, ImplausibleIndexesAreRefusedAndLeftAlone) {
    BuildMetaStock();
    ASSERT_FALSE(HasFatalFailure());
    // More MASTER records than MASTER can number.
    Bytes master = pristine_["MASTER"];
    master.resize(53 * 300, 0x20);
    WriteBytes(dir_.File("MASTER"), master);
    {
        CExportDirectory directory;
        EXPECT_FALSE(directory.Open(dir_.Path(), 4));
        EXPECT_TRUE(directory.IsWriteProtected());
        EXPECT_FALSE(directory.Save());
    }
    EXPECT_EQ(ReadBytes(dir_.File("MASTER")), master);

    // An XMASTER too large to be one: the MASTER symbols load, nothing is rewritten.
    WriteFiles(dir_.Path(), pristine_);
    Bytes xmaster = pristine_["XMASTER"];
    xmaster.resize(150 * 70000, 0);
    WriteBytes(dir_.File("XMASTER"), xmaster);
    {
        CExportDirectory directory;
        ASSERT_TRUE(directory.Open(dir_.Path(), 4));
        EXPECT_EQ(directory.SymbolCount(), 3u);
        EXPECT_TRUE(directory.IsWriteProtected());
        ExportSymbolInfo s = NewSymbol("NEW", 9999);
        directory.AddSymbol(s);
        EXPECT_FALSE(directory.Save());
    } // nor on destruction
    EXPECT_EQ(ReadBytes(dir_.File("XMASTER")).size(), xmaster.size());
    EXPECT_EQ(ReadBytes(dir_.File("MASTER")), pristine_["MASTER"]);

    // "mvrexp.mas" that is no index of this system.
    TempDir ascii;
    Bytes garbage(2000, 0x41);
    WriteBytes(ascii.File("mvrexp.mas"), garbage);
    CExportDirectory directory;
    EXPECT_FALSE(directory.Open(ascii.Path(), 5));
    EXPECT_FALSE(directory.Save());
    EXPECT_EQ(ReadBytes(ascii.File("mvrexp.mas")), garbage);
}

struct ReadBar {
    std::int32_t day, seconds, volume;
    float open, high, low, close;
};

std::vector<ReadBar> BarsOf(const CExportDataFile& file) {
    std::vector<ReadBar> bars;
    for (const PERIODE& b : file.History()) {
        bars.push_back({b.dayNumber, b.secondsOfDay, b.volume, b.open, b.high, b.low, b.close});
    }
    return bars;
}

void ExpectSameBars(const std::vector<ReadBar>& a, const std::vector<ReadBar>& b, double tolerance,
                    const std::string& what) {
    ASSERT_EQ(a.size(), b.size()) << what;
    for (std::size_t i = 0; i < a.size(); ++i) {
        ASSERT_EQ(a[i].day, b[i].day) << what << " bar " << i;
        ASSERT_EQ(a[i].seconds, b[i].seconds) << what << " bar " << i;
        ASSERT_EQ(a[i].volume, b[i].volume) << what << " bar " << i;
        for (const auto& [x, y] :
             {std::pair{a[i].open, b[i].open}, std::pair{a[i].high, b[i].high},
              std::pair{a[i].low, b[i].low}, std::pair{a[i].close, b[i].close}}) {
            ASSERT_LE(std::fabs(x - y), tolerance + std::fabs(x) * 1e-6) << what << " bar " << i;
        }
    }
}

// Reads the damaged data file, writes it back and checks that what was read
// is what is read again, or that a refused file is left alone.
void CheckDamagedDataFile(const std::string& folder, const ExportSymbolInfo& symbol, int type,
                          double tolerance, const std::string& what) {
    CExportDataFile file;
    const bool read = file.Read(folder, symbol, type);
    const Bytes before = ReadBytes(file.FilePath());
    if (!read) {
        file.History().push_back(PERIODE{});
        file.History().back().isNew = 1;
        EXPECT_FALSE(file.Write(true)) << what;
        ASSERT_EQ(ReadBytes(file.FilePath()), before) << what;
        return;
    }
    const auto bars = BarsOf(file);
    ASSERT_TRUE(file.Write(true)) << what;
    CExportDataFile again;
    ASSERT_TRUE(again.Read(folder, symbol, type)) << what;
    ExpectSameBars(bars, BarsOf(again), tolerance, what);
}

void SweepDataFile(const std::string& folder, const ExportSymbolInfo& symbol, int type,
                   std::size_t recordSize, double tolerance) {
    CExportDataFile file;
    file.BuildFileName(folder, symbol, type);
    const Bytes pristine = ReadBytes(file.FilePath());
    ASSERT_FALSE(pristine.empty());
    for (const std::size_t cut : SweepPoints(pristine.size() + 1, recordSize)) {
        WriteBytes(file.FilePath(), Bytes(pristine.begin(), pristine.begin() + cut));
        CheckDamagedDataFile(folder, symbol, type, tolerance, "cut at " + std::to_string(cut));
        if (::testing::Test::HasFatalFailure()) {
            return;
        }
    }
    for (const std::size_t offset : SweepPoints(pristine.size(), recordSize)) {
        for (int kind = 0; kind < 3; ++kind) {
            WriteBytes(file.FilePath(), Damaged(pristine, offset, kind));
            CheckDamagedDataFile(folder, symbol, type, tolerance,
                                 "damaged at " + std::to_string(offset));
            if (::testing::Test::HasFatalFailure()) {
                return;
            }
        }
    }
}

void WriteHistory(const std::string& folder, const ExportSymbolInfo& symbol, int type) {
    CExportDataFile file;
    file.BuildFileName(folder, symbol, type);
    for (int i = 0; i < 20; ++i) {
        PERIODE bar;
        bar.dayNumber = 732000 + i;
        bar.secondsOfDay = type == 21 ? 3600 * (i % 24) : 0;
        bar.open = 10.25f + i;
        bar.high = 12.5f + i;
        bar.low = 9.125f + i;
        bar.close = 11.0f + i;
        bar.volume = 1000 * i + 7;
        file.History().push_back(bar);
    }
    ASSERT_TRUE(file.Write(true));
}

TEST(DataFileCorruptionTest, MetaStockDataFiles) {
    TempDir dir;
    for (int fields : {5, 7, 8}) {
        ExportSymbolInfo symbol = NewSymbol("S", 1);
        symbol.fileNumber = fields;
        symbol.fieldCount = fields;
        WriteHistory(dir.Path(), symbol, 4);
        SweepDataFile(dir.Path(), symbol, 4, 4u * fields, 0.0);
        ASSERT_FALSE(::testing::Test::HasFatalFailure()) << fields;
    }
}

TEST(DataFileCorruptionTest, AsciiDataFiles) {
    TempDir dir;
    for (int type : {5, 10, 21}) {
        const ExportSymbolInfo symbol = NewSymbol("T" + std::to_string(type), 1);
        WriteHistory(dir.Path(), symbol, type);
        SweepDataFile(dir.Path(), symbol, type, 0, 0.0005);
        ASSERT_FALSE(::testing::Test::HasFatalFailure()) << type;
    }
}

TEST(DataFileCorruptionTest, HermesFirstAndLastLines) {
    TempDir dir;
    const ExportSymbolInfo symbol = NewSymbol("H", 1);
    WriteHistory(dir.Path(), symbol, 17);
    CExportDataFile file;
    file.BuildFileName(dir.Path(), symbol, 17);
    const Bytes pristine = ReadBytes(file.FilePath());
    for (const std::size_t cut : SweepPoints(pristine.size() + 1)) {
        WriteBytes(file.FilePath(), Bytes(pristine.begin(), pristine.begin() + cut));
        CExportDataFile reader;
        if (reader.ReadFirstAndLast(dir.Path(), symbol)) {
            ASSERT_EQ(reader.History().size(), 2u);
            EXPECT_LE(reader.History()[0].dayNumber, reader.History()[1].dayNumber) << cut;
        }
    }
    for (const std::size_t offset : SweepPoints(pristine.size())) {
        WriteBytes(file.FilePath(), Damaged(pristine, offset, 2));
        CExportDataFile reader;
        reader.ReadFirstAndLast(dir.Path(), symbol);
        EXPECT_LE(reader.History().size(), 2u);
    }
}

} // namespace
} // namespace mvr
