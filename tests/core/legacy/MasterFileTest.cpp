#include "core/legacy/MasterFile.h"

#include "core/formats/DayNumber.h"
#include "core/platform/Bytes.h"
#include "core/platform/OleDate.h"
#include "LegacyFileBuilder.h"
#include "support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace mvr {
namespace {

using test::BuildMasterKvl;
using test::MasterEntrySpec;
using test::TempDir;
using test::WriteBytes;

double OleOf(int y, int m, int d, int h = 0, int mi = 0, int s = 0) {
    SystemTime t;
    t.year = static_cast<std::uint16_t>(y);
    t.month = static_cast<std::uint16_t>(m);
    t.day = static_cast<std::uint16_t>(d);
    t.hour = static_cast<std::uint16_t>(h);
    t.minute = static_cast<std::uint16_t>(mi);
    t.second = static_cast<std::uint16_t>(s);
    double date = 0.0;
    EXPECT_TRUE(SystemTimeToVariantTime(t, &date));
    return date;
}

qdxMasterAsciiEntry EntryOf(const MasterEntrySpec& contents) {
    return {contents.symbol,    contents.name, contents.periodLetter, contents.interval,
            contents.firstDate, contents.time, contents.lastDate,     contents.carriedValue};
}

const std::vector<MasterEntrySpec> kEntries = {
    {"SAP", "SAP SE", 'D', 0, 20050105, 0, 20100630, 0x01020304},
    {std::string(8, 'L'), std::string(40, 'N'), 'I', 15, 990105, 93000, 1050105, 0xCAFEBABE},
    {"", "", 0, 0, 0, 0, 0, 0},
};

TEST(MasterFileTest, DecodesEveryCompleteEntryAfterAMatchingHeader) {
    const ByteBuffer file = BuildMasterKvl(5, kEntries);
    std::vector<qdxMasterAsciiEntry> expected;
    for (const MasterEntrySpec& contents : kEntries) {
        expected.push_back(EntryOf(contents));
    }
    EXPECT_EQ(DecodeMasterFile(file, 5), expected);
}

TEST(MasterFileTest, HeaderOfAnotherFormatOrWithoutItsMarksGivesNoEntries) {
    const ByteBuffer good = BuildMasterKvl(9, kEntries);
    EXPECT_EQ(DecodeMasterFile(good, 9).size(), 3u);
    EXPECT_TRUE(DecodeMasterFile(good, 5).empty());
    EXPECT_TRUE(DecodeMasterFile(good, 9 + 256).empty());
    for (const std::size_t mark : {0, 1}) {
        ByteBuffer file = good;
        file[mark] = 21;
        EXPECT_TRUE(DecodeMasterFile(file, 9).empty()) << mark;
    }
}

TEST(MasterFileTest, EntryWhoseSymbolFillsItsFieldIsPassedOverAndAFullNameIsKept) {
    ByteBuffer file = BuildMasterKvl(5, kEntries);
    std::fill(file.begin() + 91, file.begin() + 91 + 9, 'X');        // first entry's symbol
    std::fill(file.begin() + 182 + 9, file.begin() + 182 + 50, 'Y'); // second entry's name
    const auto entries = DecodeMasterFile(file, 5);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].symbol, std::string(8, 'L'));
    EXPECT_EQ(entries[0].name, std::string(41, 'Y'));
    EXPECT_EQ(entries[1].symbol, "");
}

TEST(MasterFileTest, ReadsTheFolderFileWithOrWithoutTrailingSeparatorAndInAnyLetterCase) {
    TempDir dir;
    const std::string folder = dir.Path();
    EXPECT_TRUE(ReadMasterFile(folder, 5).empty()); // no file: no entries, nothing reported
    WriteBytes(dir.File("MASTER.KVL"), BuildMasterKvl(5, kEntries));
    EXPECT_EQ(ReadMasterFile(folder, 5).size(), 3u);
    EXPECT_EQ(ReadMasterFile(folder.substr(0, folder.size() - 1), 5).size(), 3u);
    EXPECT_TRUE(ReadMasterFile(folder, 10).empty());
}

TEST(MasterFileTest, HermesFolderYieldsTheBaseNamesOfItsAscFilesInNameOrder) {
    TempDir dir;
    for (const char* name : {"DEF.ASC", "abc.asc", "NOTES.TXT", "ASC", ".ASC", "X.ASC.bak",
                             "NINECHARS.ASC", "EIGHTCHR.Asc"}) {
        WriteBytes(dir.File(name), {1, 2, 3});
    }
    std::filesystem::create_directory(dir.File("SUB.ASC"));
    // A master.kvl has no say in such a folder.
    WriteBytes(dir.File("master.kvl"), BuildMasterKvl(17, kEntries));

    std::vector<std::string> symbols;
    for (const qdxMasterAsciiEntry& entry : ReadMasterFile(dir.Path(), 17)) {
        EXPECT_EQ(entry.name, entry.symbol);
        EXPECT_EQ(entry, (qdxMasterAsciiEntry{entry.symbol, entry.symbol}));
        symbols.push_back(entry.symbol);
    }
    EXPECT_EQ(symbols, (std::vector<std::string>{"abc", "DEF", "EIGHTCHR"}));
}

TEST(ToExportSymbolInfoTest, DatesFollowThePredecessorsYearRulesAndShareTheTime) {
    struct Case {
        std::int32_t date;
        double expected;
    };
    const Case cases[] = {
        {990105, OleOf(1999, 1, 5)},
        {1050105, OleOf(2005, 1, 5)},
        {20050105, OleOf(2005, 1, 5)},
        {490101, OleOf(2049, 1, 1)},
        {500101, OleOf(1950, 1, 1)},
        {1501231, OleOf(2050, 12, 31)},
        {19700101, OleOf(1970, 1, 1)},
        {20371231, OleOf(2037, 12, 31)},
        {105, OleOf(2000, 1, 5)},
        {0, 0.0},
        // No calendar date: no year by the rules, no such month or day.
        {1510101, 0.0},
        {19691231, 0.0},
        {20380101, 0.0},
        {20050231, 0.0},
        {20051301, 0.0},
        {20050100, 0.0},
        {-20050105, 0.0},
        {0x7FFFFFFF, 0.0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LegacyDateToOleDate(c.date, 0), c.expected) << c.date;
    }
    EXPECT_EQ(LegacyDateToOleDate(20050105, 235959), OleOf(2005, 1, 5, 23, 59, 59));
    // No time of day: the date goes with it.
    // Hours of 65536 would fit a 16-bit field as 0 if they were cut to it.
    for (const std::int32_t time :
         {240000, 126000, 120060, -1, 0x7FFFFFFF, 655360000, -655360000}) {
        EXPECT_EQ(LegacyDateToOleDate(20050105, time), 0.0) << time;
    }
}

TEST(ToExportSymbolInfoTest, MakesANewSymbolRecordCarryingTheValueAtOffset69) {
    MasterEntrySpec contents{"SAP", "SAP SE", 'I', 15, 990105, 153045, 20100630, 0xCAFEBABE};
    const ExportSymbolInfo info = ToExportSymbolInfo(EntryOf(contents));
    ExportSymbolInfo expected;
    expected.symbol = "SAP";
    expected.name = "SAP SE";
    expected.period = kPeriodIntraday;
    expected.interval = 15;
    expected.fieldCount = 7;
    expected.firstDate = OleOf(1999, 1, 5, 15, 30, 45);
    expected.lastDate = OleOf(2010, 6, 30, 15, 30, 45);
    expected.importedValue = 0xCAFEBABE;
    EXPECT_EQ(info, expected);

    std::array<std::uint8_t, ExportSymbolInfo::kSize> record{};
    info.Serialize(record);
    EXPECT_EQ(LoadLE32(record.data() + 724), 0xCAFEBABEu);

    const std::pair<char, std::int32_t> periods[] = {{'M', kPeriodMonthly},
                                                     {'W', kPeriodWeekly},
                                                     {'D', kPeriodDaily},
                                                     {'i', kPeriodDaily},
                                                     {0, kPeriodDaily}};
    for (const auto& [letter, period] : periods) {
        contents.periodLetter = letter;
        EXPECT_EQ(ToExportSymbolInfo(EntryOf(contents)).period, period) << letter;
    }
    contents.firstDate = 0;
    EXPECT_EQ(ToExportSymbolInfo(EntryOf(contents)).firstDate, 0.0);
}

} // namespace
} // namespace mvr
