#include "core/formats/MetaStockIndex.h"

#include "core/formats/ExportDataFile.h"
#include "core/formats/ExportDirectory.h"
#include "core/platform/Bytes.h"
#include "core/platform/FileSystem.h"
#include "FolderFixtures.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>

namespace mvr {
namespace {

using test::CopyOfForeignFolder;
using test::NewSymbol;
using test::OleDay;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

using Bytes = std::vector<std::uint8_t>;

// Writes `text` at `offset` of `bytes`.
void Put(Bytes& bytes, std::size_t offset, const Bytes& text) {
    std::copy(text.begin(), text.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
}

Bytes Chars(const std::string& text) {
    return {text.begin(), text.end()};
}

Bytes Record(std::size_t size, std::initializer_list<std::pair<std::size_t, Bytes>> fields) {
    Bytes record(size, 0);
    for (const auto& [offset, bytes] : fields) {
        Put(record, offset, bytes);
    }
    return record;
}

const Bytes kBlanks16 = Bytes(16, 0x20);

TEST(MetaStockIndexTest, Templates) {
    const Bytes master =
        Record(53, {{1, {0x65}}, {3, {0x1C, 0x07}}, {7, kBlanks16}, {33, {0x44}}, {36, kBlanks16}});
    EXPECT_EQ(Bytes(MasterTemplate().begin(), MasterTemplate().end()), master);
    const Bytes emaster = Record(192, {{0, {0x36, 0x36}},
                                       {6, {0x07, 0x7F}},
                                       {9, {0x20}},
                                       {60, {0x44}},
                                       {126, {0x87, 0x7B, 0x31, 0x01}}});
    EXPECT_EQ(Bytes(EmasterTemplate().begin(), EmasterTemplate().end()), emaster);
    const Bytes xmaster = Record(150, {{0, {0x01}},
                                       {9, {0x20}},
                                       {62, {0x44}},
                                       {70, {0x7F}},
                                       {80, {0xA8, 0x55, 0x31, 0x01, 0xA8, 0x55, 0x41, 0x00}}});
    EXPECT_EQ(Bytes(XmasterTemplate().begin(), XmasterTemplate().end()), xmaster);
    Bytes header = xmaster;
    Put(header, 0, {0x5D, 0xFE, 0x58, 0x4D, 0x8B, 0x02});
    const XmasterRecord created = NewXmasterHeader();
    EXPECT_EQ(Bytes(created.begin(), created.end()), header);
}

// Three symbols written into a new MetaStock folder, byte for byte.
TEST(MetaStockIndexTest, GoldenThreeSymbolFolder) {
    TempDir dir;
    {
        CExportDirectory directory(4);
        ASSERT_TRUE(directory.Create(dir.Path(), OleDay(7, 3, 2005), 4));
        EXPECT_EQ(ReadBytes(dir.File("MASTER")), Bytes(53, 0));
        EXPECT_EQ(ReadBytes(dir.File("EMASTER")), Bytes(192, 0));
        ExportSymbolInfo a = NewSymbol("AAA", 1, "Alpha");
        a.lastDate = OleDay(9, 3, 2005);
        ExportSymbolInfo b = NewSymbol("BBB", 2);
        ExportSymbolInfo c =
            NewSymbol("CCC", 3, "A name longer than sixteen and even than forty-five characters");
        for (ExportSymbolInfo* s : {&a, &b, &c}) {
            ASSERT_TRUE(directory.AddSymbol(*s));
        }
        EXPECT_EQ(a.fileNumber, 1);
        EXPECT_EQ(b.fileNumber, 2);
        EXPECT_EQ(c.fileNumber, 3);
        EXPECT_EQ(a.firstDate, OleDay(7, 3, 2005)); // the directory's start date
        EXPECT_EQ(a.masterPos, -1);
        ASSERT_TRUE(directory.Save());
    }
    const Bytes first = {0x18, 0x36, 0x00, 0x95}; // MBF 1050307
    const Bytes last = {0x28, 0x36, 0x00, 0x95};  // MBF 1050309
    const Bytes firstIeee = {0x18, 0x36, 0x80, 0x49};
    const Bytes lastIeee = {0x28, 0x36, 0x80, 0x49};
    const Bytes firstDay = {0x83, 0xF1, 0x31, 0x01}; // 20050307
    const Bytes none(4, 0);

    auto masterRecord = [&](std::uint8_t number, const Bytes& name, const Bytes& symbol,
                            const Bytes& lastDate) {
        Bytes r(MasterTemplate().begin(), MasterTemplate().end());
        r[0] = number;
        Put(r, 7, name);
        Put(r, 25, first);
        Put(r, 29, lastDate);
        Put(r, 36, symbol);
        return r;
    };
    const Bytes aaa = Chars(std::string("AAA\0\0\0\0\0", 8));
    const Bytes bbb = Chars(std::string("BBB\0\0\0\0\0", 8));
    const Bytes ccc = Chars(std::string("CCC\0\0\0\0\0", 8));
    Bytes master = Record(53, {{0, {3, 0, 3, 0}}});
    for (const Bytes& r :
         {masterRecord(1, Chars("Alpha           "), aaa, last),
          masterRecord(2, Chars(std::string("BBB\0\0\0\0\0        ", 16)), bbb, none),
          masterRecord(3, Chars("A name longer th"), ccc, none)}) {
        master.insert(master.end(), r.begin(), r.end());
    }
    EXPECT_TRUE(test::SameBytes(ReadBytes(dir.File("MASTER")), master));

    auto emasterRecord = [&](std::uint8_t number, const Bytes& symbol, const std::string& name,
                             const Bytes& lastDate) {
        Bytes r(EmasterTemplate().begin(), EmasterTemplate().end());
        r[2] = number;
        Put(r, 11, symbol);
        Bytes shortName(16, 0);
        Put(shortName, 0, Chars(name.substr(0, 16)));
        Put(r, 32, shortName);
        Put(r, 64, firstIeee);
        Put(r, 72, lastDate);
        Put(r, 126, firstDay);
        Bytes longName(45, 0);
        Put(longName, 0, Chars(name.substr(0, 45)));
        Put(r, 139, longName);
        return r;
    };
    Bytes emaster = Record(192, {{0, {3, 0, 3, 0}}});
    for (const Bytes& r :
         {emasterRecord(1, aaa, "Alpha", lastIeee), emasterRecord(2, bbb, "BBB", none),
          emasterRecord(3, ccc, "A name longer than sixteen and even than forty-five characters",
                        none)}) {
        emaster.insert(emaster.end(), r.begin(), r.end());
    }
    EXPECT_TRUE(test::SameBytes(ReadBytes(dir.File("EMASTER")), emaster));
    EXPECT_FALSE(EntryExists(dir.File("XMASTER")));

    // Read back: the names come from EMASTER's long name field.
    CExportDirectory reread;
    ASSERT_TRUE(reread.Open(dir.Path(), 4));
    ASSERT_EQ(reread.SymbolCount(), 3u);
    EXPECT_EQ(reread.GetSymbol(0).name, "Alpha");
    EXPECT_EQ(reread.GetSymbol(1).name, "BBB");
    EXPECT_EQ(reread.GetSymbol(2).name, "A name longer than sixteen and even than fort");
    EXPECT_EQ(reread.GetSymbol(0).lastDate, OleDay(9, 3, 2005));
    EXPECT_EQ(reread.GetSymbol(2).masterPos, 3 * 53);
    EXPECT_EQ(reread.GetSymbol(2).hasEmaster, 1);
    EXPECT_EQ(reread.StartDate(), OleDay(7, 3, 2005));
}

TEST(MetaStockIndexTest, ThreeHundredSymbolsUseXmasterFrom256On) {
    TempDir dir;
    {
        CExportDirectory directory(4);
        ASSERT_TRUE(directory.Create(dir.Path(), OleDay(2, 1, 2006), 4));
        for (int i = 1; i <= 300; ++i) {
            ExportSymbolInfo s = NewSymbol("S" + std::to_string(i), i, "Name " + std::to_string(i));
            ASSERT_TRUE(directory.AddSymbol(s));
            ASSERT_EQ(s.fileNumber, i);
            ASSERT_EQ(s.inXmaster, i > 255 ? 1 : 0);
        }
        ASSERT_TRUE(directory.Save());
    }
    EXPECT_EQ(ReadBytes(dir.File("MASTER")).size(), 53u * 256);
    EXPECT_EQ(ReadBytes(dir.File("EMASTER")).size(), 192u * 256);
    const Bytes xmaster = ReadBytes(dir.File("XMASTER"));
    ASSERT_EQ(xmaster.size(), 150u * 46);
    const XmasterRecord created = NewXmasterHeader();
    Bytes header(created.begin(), created.end());
    Put(header, 10, {45, 0});
    Put(header, 14, {45, 0});
    Put(header, 18, {0x2D, 0x01}); // 301: the next free file number
    EXPECT_TRUE(test::SameBytes(Bytes(xmaster.begin(), xmaster.begin() + 150), header));
    const std::uint8_t* first = xmaster.data() + 150;
    EXPECT_EQ(LoadFixedText(first + 1, 8), "S256");
    EXPECT_EQ(LoadFixedText(first + 16, 45), "Name 256");
    EXPECT_EQ(LoadLE16(first + 65), 256);
    EXPECT_EQ(first[70], 0x7F);
    EXPECT_EQ(LoadLEInt32(first + 104), 20060102);
    EXPECT_EQ(LoadLEInt32(first + 108), 20060102);
    EXPECT_EQ(LoadLEInt32(first + 116), 0);

    CExportDirectory directory;
    ASSERT_TRUE(directory.Open(dir.Path(), 4));
    ASSERT_EQ(directory.SymbolCount(), 300u);
    for (int i = 1; i <= 300; ++i) {
        const ExportSymbolInfo& s = directory.GetSymbol(static_cast<std::size_t>(i - 1));
        EXPECT_EQ(s.symbol, "S" + std::to_string(i));
        EXPECT_EQ(s.fileNumber, i);
        EXPECT_EQ(s.inXmaster, i > 255 ? 1 : 0);
        EXPECT_EQ(s.fieldCount, 7);
        EXPECT_EQ(s.firstDate, OleDay(2, 1, 2006));
    }
    CExportDataFile file;
    file.BuildFileName(directory.Path(), directory.GetSymbol(255), 4);
    EXPECT_EQ(file.FilePath(), dir.File("F256.MWD"));

    for (int i = 256; i <= 300; ++i) {
        ASSERT_TRUE(directory.RemoveBySymbol("S" + std::to_string(i)));
    }
    ASSERT_TRUE(directory.Save());
    EXPECT_FALSE(EntryExists(dir.File("XMASTER")));
    EXPECT_EQ(ReadBytes(dir.File("MASTER")).size(), 53u * 256);
}

float LoadLEFloatAt(const std::uint8_t* p) {
    const std::uint32_t bits = LoadLE32(p);
    float value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Chart programs tell an intraday series by its period letter and interval:
// in all three index files, with the first and last time in EMASTER.
TEST(MetaStockIndexTest, AnIntradayFolderMarksItsSeriesIntradayInEveryIndexFile) {
    TempDir dir;
    {
        CExportDirectory directory(kFormatMetaStockIntraday);
        ASSERT_TRUE(directory.Create(dir.Path(), OleDay(2, 1, 2006), kFormatMetaStockIntraday));
        for (int i = 1; i <= 256; ++i) {
            ExportSymbolInfo s = NewSymbol("S" + std::to_string(i), i, "Name");
            s.interval = 15;
            ASSERT_TRUE(directory.AddSymbol(s));
            ASSERT_EQ(s.fileNumber, i);
            ASSERT_EQ(s.period, kPeriodIntraday);
        }
        // 9:05 on the first day, 17:35:30 on the last.
        directory.GetSymbol(0).firstDate = OleDay(2, 1, 2006) + (9 * 60 + 5) / 1440.0;
        directory.GetSymbol(0).lastDate = OleDay(6, 1, 2006) + (17 * 3600 + 35 * 60 + 30) / 86400.0;
        ASSERT_TRUE(directory.Save());
    }
    const Bytes master = ReadBytes(dir.File("MASTER"));
    EXPECT_EQ(master[53 + 33], 'I');
    EXPECT_EQ(master[53 + 34], 15);
    const Bytes emaster = ReadBytes(dir.File("EMASTER"));
    const std::uint8_t* e = emaster.data() + 192;
    EXPECT_EQ(e[60], 'I');
    EXPECT_EQ(e[62], 15);
    EXPECT_EQ(LoadLEFloatAt(e + 64), 1060102.0f);
    EXPECT_EQ(LoadLEFloatAt(e + 68), 90500.0f);
    EXPECT_EQ(LoadLEFloatAt(e + 72), 1060106.0f);
    EXPECT_EQ(LoadLEFloatAt(e + 76), 173530.0f);
    const Bytes xmaster = ReadBytes(dir.File("XMASTER"));
    EXPECT_EQ(xmaster[150 + 62], 'I');
    EXPECT_EQ(xmaster[150 + 63], 15);

    CExportDirectory directory;
    ASSERT_EQ(directory.DetectFormat(dir.Path()), kFormatMetaStock);
    ASSERT_TRUE(directory.Open(dir.Path(), kFormatMetaStock));
    for (const std::size_t i : {std::size_t{0}, std::size_t{255}}) {
        EXPECT_EQ(directory.GetSymbol(i).period, kPeriodIntraday) << i;
        EXPECT_EQ(directory.GetSymbol(i).interval, 15) << i;
    }
}

// What other MetaStock readers insist on: capital F in the data file names,
// no cut name ending in a blank, the next file number in the XMASTER header.
TEST(MetaStockIndexTest, AFolderOfMoreThan255SymbolsIsOneOtherReadersTake) {
    TempDir dir;
    // Cut at 16 and at 45 characters, both names end the cut at a blank.
    const std::string cutAtBlank = "Banco Santander Central Hispano Americano SA  and more";
    ASSERT_EQ(cutAtBlank[15], ' ');
    ASSERT_EQ(cutAtBlank[44], ' ');
    {
        CExportDirectory directory(4);
        ASSERT_TRUE(directory.Create(dir.Path(), OleDay(2, 1, 2006), 4));
        for (int i = 1; i <= 270; ++i) {
            ExportSymbolInfo s = NewSymbol("S" + std::to_string(i), i, cutAtBlank);
            ASSERT_TRUE(directory.AddSymbol(s));
        }
        // A gap below the highest number: the header names the highest + 1, not the count + 1.
        ASSERT_TRUE(directory.RemoveBySInCode(260));
        for (const ExportSymbolInfo& s : directory.Symbols()) {
            CExportDataFile file;
            file.BuildFileName(directory.Path(), s, 4);
            file.History() = {PERIODE{0, 1, 2, 0.5f, 1.5f, 10, 732313, -1, 1}};
            ASSERT_TRUE(file.Write(true));
        }
        ASSERT_TRUE(directory.Save());
    }
    std::size_t dataFiles = 0;
    for (const std::string& name : ListFileNames(dir.Path())) {
        if (name.ends_with(".DAT") || name.ends_with(".MWD")) {
            EXPECT_EQ(name[0], 'F') << name;
            ++dataFiles;
        }
    }
    EXPECT_EQ(dataFiles, 269u);
    EXPECT_TRUE(IsRegularFile(dir.File("F1.DAT")));
    EXPECT_TRUE(IsRegularFile(dir.File("F270.MWD")));

    const Bytes emaster = ReadBytes(dir.File("EMASTER"));
    ASSERT_EQ(emaster.size(), 192u * 256);
    for (std::size_t r = 1; r < 256; ++r) {
        const std::uint8_t* record = emaster.data() + r * 192;
        const std::string shortName = LoadFixedText(record + 32, 16);
        const std::string longName = LoadFixedText(record + 139, 45);
        ASSERT_EQ(shortName, "Banco Santander") << r;
        ASSERT_EQ(longName, "Banco Santander Central Hispano Americano SA") << r;
    }
    const Bytes master = ReadBytes(dir.File("MASTER"));
    EXPECT_EQ(LoadFixedText(master.data() + 53 + 7, 16), "Banco Santander ");
    const Bytes xmaster = ReadBytes(dir.File("XMASTER"));
    ASSERT_EQ(xmaster.size(), 150u * 15);
    EXPECT_EQ(LoadLE16(xmaster.data() + 10), 14);
    EXPECT_EQ(LoadLE16(xmaster.data() + 18), 271);
    EXPECT_EQ(LoadFixedText(xmaster.data() + 150 + 16, 45),
              "Banco Santander Central Hispano Americano SA");

    // Read back, every symbol finds its own file.
    CExportDirectory reread;
    ASSERT_TRUE(reread.Open(dir.Path(), 4));
    ASSERT_EQ(reread.SymbolCount(), 269u);
    CExportDataFile last;
    ASSERT_TRUE(last.Read(reread.Path(), reread.GetSymbol(268), 4));
    EXPECT_EQ(last.FilePath(), dir.File("F270.MWD"));
    EXPECT_EQ(last.History().size(), 1u);
}

TEST(MetaStockIndexTest, FreedFileNumbersAreReusedAndTheHeaderNamesTheHighest) {
    TempDir dir;
    CExportDirectory directory(4);
    ASSERT_TRUE(directory.Create(dir.Path(), 0.0, 4));
    for (int i = 1; i <= 3; ++i) {
        ExportSymbolInfo s = NewSymbol("S" + std::to_string(i), i);
        ASSERT_TRUE(directory.AddSymbol(s));
    }
    ASSERT_TRUE(directory.RemoveBySInCode(2));
    ASSERT_TRUE(directory.Save());
    const Bytes master = ReadBytes(dir.File("MASTER"));
    ASSERT_EQ(master.size(), 53u * 3);
    EXPECT_EQ(LoadLE16(master.data()), 2);     // records
    EXPECT_EQ(LoadLE16(master.data() + 2), 3); // highest file number in use
    EXPECT_EQ(LoadLE16(ReadBytes(dir.File("EMASTER")).data() + 2), 3);
    ExportSymbolInfo s = NewSymbol("S4", 4);
    ASSERT_TRUE(directory.AddSymbol(s));
    EXPECT_EQ(s.fileNumber, 2);
}

TEST(MetaStockIndexTest, NamesFromMasterAndEmaster) {
    MasterRecord record = MasterTemplate();
    std::memcpy(record.data() + 7, "ABC             ", 16);
    std::memcpy(record.data() + 36, "XYZ     ", 8);
    record[0] = 9;
    record[33] = 'I';
    record[34] = 5;
    ExportSymbolInfo s;
    ReadMasterRecord(record, s);
    EXPECT_EQ(s.name, "ABC");
    EXPECT_EQ(s.symbol, "XYZ");
    EXPECT_EQ(s.fileNumber, 9);
    EXPECT_EQ(s.period, kPeriodIntraday);
    EXPECT_EQ(s.interval, 5);
    // Padding of other writers: 0xFF bytes.
    std::memset(record.data() + 7 + 3, 0xFF, 13);
    ReadMasterRecord(record, s);
    EXPECT_EQ(s.name, "ABC");
    record[33] = 'W';
    ReadMasterRecord(record, s);
    EXPECT_EQ(s.period, kPeriodWeekly);
    EXPECT_EQ(s.interval, 0);

    EmasterRecord emaster = EmasterTemplate();
    EXPECT_FALSE(EmasterLongName(emaster));
    std::memcpy(emaster.data() + 139, "A much longer name   ", 21);
    EXPECT_EQ(EmasterLongName(emaster), "A much longer name");
}

TEST(MetaStockIndexTest, XmasterFieldMasks) {
    XmasterRecord record = XmasterTemplate();
    ExportSymbolInfo s;
    for (const auto& [mask, count] : {std::pair{0x1F, 5}, std::pair{0x3F, 6}, std::pair{0x7F, 7},
                                      std::pair{0xFF, 8}, std::pair{0x00, 0}, std::pair{0x3E, 0}}) {
        record[70] = static_cast<std::uint8_t>(mask);
        ReadXmasterRecord(record, s);
        EXPECT_EQ(s.fieldCount, count) << mask;
    }
    // Writing keeps a mask it does not know a count for.
    s.fieldCount = 0;
    s.xmasterRecord = record;
    RefreshXmasterRecord(s);
    EXPECT_EQ(s.xmasterRecord[70], 0x3E);
    s.fieldCount = 5;
    RefreshXmasterRecord(s);
    EXPECT_EQ(s.xmasterRecord[70], 0x1F);
}

TEST(MetaStockIndexTest, XmasterTextsAreRewrittenOnlyWhenTheSymbolChanged) {
    XmasterRecord record = XmasterTemplate();
    std::memcpy(record.data() + 1, "RCF\0\0\0\0\0", 8);
    std::memcpy(record.data() + 16, "RCF GROUP\0\0\0D\0\0\xff", 15); // bytes after the name stay
    ExportSymbolInfo s;
    ReadXmasterRecord(record, s);
    EXPECT_EQ(s.symbol, "RCF");
    EXPECT_EQ(s.name, "RCF GROUP");
    s.xmasterRecord = record;
    s.name = "Renamed";
    RefreshXmasterRecord(s);
    EXPECT_EQ(std::memcmp(s.xmasterRecord.data() + 16, record.data() + 16, 45), 0);
    s.symbol = "RCF2";
    s.name = "";
    RefreshXmasterRecord(s);
    EXPECT_EQ(LoadFixedText(s.xmasterRecord.data() + 1, 8), "RCF2");
    EXPECT_EQ(LoadFixedText(s.xmasterRecord.data() + 16, 45), "RCF2");
    EXPECT_EQ(s.xmasterRecord[16 + 44], 0);
}

TEST(MetaStockIndexTest, EmasterRecordsArePairedByFileNumberWhenPositionsDisagree) {
    TempDir dir;
    const std::string folder = CopyOfForeignFolder(dir, "broken-xmaster");
    // Give EMASTER long names: record 2 is a symbol MASTER does not list, so
    // from there on the positions disagree.
    Bytes emaster = ReadBytes(folder + "EMASTER");
    for (std::size_t i = 1; i * 192 < emaster.size(); ++i) {
        const std::string symbol = LoadFixedText(emaster.data() + i * 192 + 11, 8);
        Put(emaster, i * 192 + 139, Chars("Long " + symbol));
    }
    WriteBytes(folder + "EMASTER", emaster);
    CExportDirectory directory;
    ASSERT_TRUE(directory.Open(folder, 4));
    ASSERT_EQ(directory.SymbolCount(), 40u);
    int unpaired = 0;
    for (const ExportSymbolInfo& s : directory.Symbols()) {
        if (s.hasEmaster == 0) {
            ++unpaired; // EMASTER lacks MONC: its name stays MASTER's
            EXPECT_EQ(s.name, "MONCLER");
            continue;
        }
        EXPECT_EQ(s.name, "Long " + s.symbol);
        EXPECT_EQ(s.emasterRecord[2], s.fileNumber);
    }
    EXPECT_EQ(unpaired, 1);
}

// Bytes of the index files this system does not name survive a load and a save.
TEST(MetaStockIndexTest, UnnamedBytesAreCarriedThroughASave) {
    TempDir dir;
    const std::string folder = CopyOfForeignFolder(dir, "mixed-case-xmaster");
    const Bytes master = ReadBytes(folder + "Master");
    const Bytes emaster = ReadBytes(folder + "Emaster");
    const Bytes xmaster = ReadBytes(folder + "Xmaster");
    {
        CExportDirectory directory;
        ASSERT_TRUE(directory.Open(folder, 4));
        ASSERT_EQ(directory.SymbolCount(), 462u);
        ASSERT_TRUE(directory.Save());
    }
    // Saved under the names they had: no MASTER beside or instead of Master.
    const std::vector<std::string> names = ListFileNames(folder);
    for (const std::string name : {"Master", "Emaster", "Xmaster"}) {
        EXPECT_EQ(std::count(names.begin(), names.end(), name), 1) << name;
    }
    EXPECT_EQ(names.size(), ListFileNames(test::ForeignFolder("mixed-case-xmaster")).size());

    auto expectSameOutside = [](const Bytes& before, const Bytes& after, std::size_t recordSize,
                                std::vector<std::pair<std::size_t, std::size_t>> named,
                                const char* file) {
        ASSERT_EQ(before.size(), after.size()) << file;
        for (std::size_t i = 0; i < before.size(); ++i) {
            const std::size_t offset = i % recordSize;
            const bool isNamed =
                i >= recordSize && std::any_of(named.begin(), named.end(), [&](auto r) {
                    return offset >= r.first && offset < r.first + r.second;
                });
            if (!isNamed) {
                ASSERT_EQ(before[i], after[i]) << file << " byte " << i;
            }
        }
    };
    expectSameOutside(master, ReadBytes(folder + "Master"), 53,
                      {{0, 1}, {4, 1}, {7, 16}, {25, 8}, {36, 8}}, "MASTER");
    expectSameOutside(emaster, ReadBytes(folder + "Emaster"), 192,
                      {{2, 1}, {6, 1}, {11, 8}, {32, 16}, {64, 4}, {72, 4}, {126, 4}, {139, 45}},
                      "EMASTER");
    // The XMASTER symbols are unchanged, so their texts stay as well.
    expectSameOutside(xmaster, ReadBytes(folder + "Xmaster"), 150,
                      {{65, 2}, {70, 1}, {104, 8}, {116, 4}}, "XMASTER");
    // And what was read is read again.
    CExportDirectory reread;
    ASSERT_TRUE(reread.Open(folder, 4));
    ASSERT_EQ(reread.SymbolCount(), 462u);
    EXPECT_EQ(reread.GetSymbol(387).name, "IS-pubblica utilit\xe0");
}

} // namespace
} // namespace mvr
