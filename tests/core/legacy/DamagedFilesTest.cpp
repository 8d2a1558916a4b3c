// The predecessor's files cut at every offset and overwritten byte by byte
// (a sample by default, every offset when MVR_LONG_TESTS=1). The readers never
// crash or read out of bounds (the suites also run under AddressSanitizer), a
// cut file is always refused as a whole, and whatever a damaged file yields
// stays within the bounds of the predecessor's fields.

#include "core/legacy/LegacyFormats.h"
#include "core/legacy/LegacySymbolTable.h"
#include "core/legacy/MasterFile.h"
#include "core/platform/OleDate.h"
#include "LegacyFileBuilder.h"
#include "support/Sweep.h"

#include <gtest/gtest.h>
#include <random>

namespace mvr {
namespace {

using test::SweepPoints;

ByteBuffer Damaged(ByteBuffer bytes, std::size_t offset, int kind) {
    bytes[offset] = kind == 0 ? 0x00 : kind == 1 ? 0xFF : bytes[offset] ^ 0x55;
    return bytes;
}

template <typename Check>
void ForEachDamage(const ByteBuffer& good, std::size_t recordSize, Check check) {
    for (const std::size_t offset : SweepPoints(good.size(), recordSize)) {
        for (int kind = 0; kind < 3; ++kind) {
            check(Damaged(good, offset, kind), offset);
            if (::testing::Test::HasFatalFailure()) {
                return;
            }
        }
    }
}

ByteBuffer SampleKvloDat() {
    test::LegacyDirectorySpec ascii{"C:\\Kurse\\Ascii\\", {{"SAP", "SAP SE"}, {"BAY", "Bayer"}}};
    test::LegacyDirectorySpec meta{"D:\\MetaStock", {}};
    return test::BuildKvloDat({
        {"ASC", "ASCII", 5, {{"Daily", {ascii, meta}}, {"Empty", {}}}, {ascii}},
        {"MS", "MetaStock", 4, {{"Charts", {meta}}}, {meta, meta}},
    });
}

bool FitsTheFields(const std::vector<Cqdx_kvlo_format_info>& formats) {
    const auto pathFits = [](const Cqdx_kvlo_directory_info& d) {
        return d.path.size() < kKvloPathSize;
    };
    for (const Cqdx_kvlo_format_info& f : formats) {
        if (f.shortName.size() >= kKvloShortNameSize || f.name.size() >= kKvloNameSize ||
            f.formatType < 0 || f.formatType > 255 ||
            !std::all_of(f.directories.begin(), f.directories.end(), pathFits)) {
            return false;
        }
        for (const Cprev_kvlo_list_info& l : f.lists) {
            if (l.name.size() >= kKvloNameSize ||
                !std::all_of(l.directories.begin(), l.directories.end(), pathFits)) {
                return false;
            }
        }
    }
    return true;
}

TEST(DamagedLegacyFilesTest, KvloDatCutAnywhereFailsAndDamagedStaysInItsFields) {
    const ByteBuffer good = SampleKvloDat();
    std::vector<Cqdx_kvlo_format_info> formats;
    ASSERT_TRUE(ReadFormats(good, &formats));
    for (const std::size_t cut : SweepPoints(good.size())) {
        std::vector<Cqdx_kvlo_format_info> read;
        EXPECT_FALSE(ReadFormats(std::span(good).first(cut), &read)) << "cut at " << cut;
        EXPECT_TRUE(read.empty());
    }
    ForEachDamage(good, 0, [](const ByteBuffer& file, std::size_t offset) {
        std::vector<Cqdx_kvlo_format_info> read;
        if (ReadFormats(file, &read)) {
            EXPECT_TRUE(FitsTheFields(read)) << "damaged at " << offset;
        }
    });
}

TEST(DamagedLegacyFilesTest, KvloSdbCutAnywhereFailsAndDamagedStaysSearchable) {
    test::KvloSdbSpec contents;
    contents.symbols = {{3, "SAP"}, {1, "ALV"}, {2, "BAY"}, {4, "DTE"}};
    contents.table1Count = 2;
    contents.table2Count = 1;
    contents.table4Count = 2;
    contents.spareCapacity = 1;
    const ByteBuffer good = test::BuildKvloSdb(contents);
    for (const std::size_t cut : SweepPoints(good.size())) {
        CLegacySymbolTable table;
        EXPECT_FALSE(ReadSymbolTable(std::span(good).first(cut), &table)) << "cut at " << cut;
    }
    ForEachDamage(good, kSymbolTableRecordSize, [](const ByteBuffer& file, std::size_t offset) {
        CLegacySymbolTable table;
        if (!ReadSymbolTable(file, &table)) {
            return;
        }
        for (const CLegacySymbolRecord& record : table.Records()) {
            ASSERT_LE(record.symbol.size(), kSymbolTableSymbolSize) << offset;
            const CLegacySymbolRecord* found = table.LookupSymbol(record.symbol);
            ASSERT_NE(found, nullptr) << "damaged at " << offset;
            EXPECT_EQ(found->symbol, record.symbol);
        }
    });
}

TEST(DamagedLegacyFilesTest, MasterKvlCutAnywhereKeepsTheCompleteEntriesBeforeTheCut) {
    std::vector<test::MasterEntrySpec> wantedEntries;
    for (int i = 0; i < 4; ++i) {
        wantedEntries.push_back(
            {"S" + std::to_string(i), "Name", 'D', 0, 20050101 + i, 0, 20060101, 0});
    }
    const ByteBuffer good = test::BuildMasterKvl(5, wantedEntries);
    for (const std::size_t cut : SweepPoints(good.size() + 1, 91)) {
        const auto entries = DecodeMasterFile(std::span(good).first(cut), 5);
        const std::size_t complete = cut < 91 ? 0 : cut / 91 - 1;
        ASSERT_EQ(entries.size(), complete) << "cut at " << cut;
        for (std::size_t i = 0; i < complete; ++i) {
            EXPECT_EQ(entries[i].symbol, wantedEntries[i].symbol);
        }
    }
    ForEachDamage(good, 91, [](const ByteBuffer& file, std::size_t offset) {
        const auto entries = DecodeMasterFile(file, 5);
        ASSERT_LE(entries.size(), 4u) << offset;
        for (const qdxMasterAsciiEntry& entry : entries) {
            EXPECT_LT(entry.symbol.size(), qdxMasterAsciiEntry::kSymbolSize) << offset;
            const ExportSymbolInfo info = ToExportSymbolInfo(entry);
            SystemTime time;
            EXPECT_TRUE(info.firstDate == 0.0 || VariantTimeToSystemTime(info.firstDate, &time));
            EXPECT_TRUE(info.lastDate == 0.0 || VariantTimeToSystemTime(info.lastDate, &time));
        }
    });
}

// Arbitrary date and time words: either no date, or exactly the calendar
// fields the decimal digits name.
TEST(DamagedLegacyFilesTest, DatesThatAreNoDatesGiveNone) {
    std::mt19937 random(8);
    const int rounds = test::LongTestsEnabled() ? 2000000 : 50000;
    int valid = 0;
    for (int i = 0; i < rounds; ++i) {
        // Every other one near a valid date, so that valid dates are met as well.
        const bool nearValid = i % 2 == 0;
        const auto pick = [&](std::uint32_t range) {
            return static_cast<std::int32_t>(random() % range);
        };
        const std::int32_t date = nearValid ? (pick(2100) * 100 + pick(14)) * 100 + pick(33)
                                            : static_cast<std::int32_t>(random());
        const std::int32_t time = nearValid ? (pick(26) * 100 + pick(62)) * 100 + pick(62)
                                            : static_cast<std::int32_t>(random());
        const double ole = LegacyDateToOleDate(date, time);
        if (ole == 0.0) {
            continue;
        }
        ++valid;
        SystemTime t;
        ASSERT_TRUE(VariantTimeToSystemTime(ole, &t)) << date << " " << time;
        EXPECT_EQ(t.month, date / 100 % 100);
        EXPECT_EQ(t.day, date % 100);
        EXPECT_EQ(t.year % 100, date / 10000 % 100);
        EXPECT_EQ(t.hour * 10000 + t.minute * 100 + t.second, time) << date << " " << time;
    }
    EXPECT_GT(valid, rounds / 100);
}

} // namespace
} // namespace mvr
