#include "core/legacy/LegacySymbolTable.h"

#include "core/platform/Bytes.h"
#include "LegacyFileBuilder.h"

#include <gtest/gtest.h>

namespace mvr {
namespace {

using test::BuildKvloSdb;
using test::KvloSdbCountOffset;
using test::KvloSdbSpec;

std::vector<std::string> SymbolsOf(const CLegacySymbolTable& table) {
    std::vector<std::string> symbols;
    for (const CLegacySymbolRecord& record : table.Records()) {
        symbols.push_back(record.symbol);
    }
    return symbols;
}

TEST(SymbolTableTest, ReadsTheThirdTablePastTheOthersSortedByPlainByteOrder) {
    KvloSdbSpec contents;
    contents.symbols = {{11, "BAY"},    {22, "ALV"}, {33, "SAP"},
                        {44, "\xC4QU"}, {55, "AL"},  {-1, "ZZ"}};
    contents.table1Count = 3;
    contents.table2Count = 2;
    contents.table4Count = 5;
    contents.spareCapacity = 7;
    CLegacySymbolTable table;
    ASSERT_TRUE(ReadSymbolTable(BuildKvloSdb(contents), &table));
    // Bytes compare as unsigned values: the umlaut sorts after every letter.
    EXPECT_EQ(SymbolsOf(table),
              (std::vector<std::string>{"AL", "ALV", "BAY", "SAP", "ZZ", "\xC4QU"}));

    ASSERT_NE(table.LookupSymbol("BAY"), nullptr);
    EXPECT_EQ(table.LookupSymbol("BAY")->instrumentNumber, 11);
    EXPECT_EQ(table.LookupSymbol("\xC4QU")->instrumentNumber, 44);
    EXPECT_EQ(table.LookupSymbol("ZZ")->instrumentNumber, -1);
    EXPECT_EQ(table.LookupSymbol("bay"), nullptr);
    EXPECT_EQ(table.LookupSymbol("BA"), nullptr);
    EXPECT_EQ(table.LookupSymbol(""), nullptr);
    EXPECT_EQ(table.LookupSymbol("\xFF"), nullptr);
}

TEST(SymbolTableTest, LookupFindsEveryRecordOfTablesOfEverySize) {
    for (int size = 0; size <= 70; ++size) {
        std::vector<CLegacySymbolRecord> records;
        for (int i = size - 1; i >= 0; --i) {
            records.push_back({i + 1, "S" + std::to_string(1000 + 2 * i)});
        }
        const CLegacySymbolTable table(records);
        for (const CLegacySymbolRecord& record : records) {
            const CLegacySymbolRecord* found = table.LookupSymbol(record.symbol);
            ASSERT_NE(found, nullptr) << size << " " << record.symbol;
            EXPECT_EQ(found->instrumentNumber, record.instrumentNumber);
        }
        // Between, before and after every record.
        for (int i = -1; i <= size; ++i) {
            EXPECT_EQ(table.LookupSymbol("S" + std::to_string(1001 + 2 * i)), nullptr);
        }
    }
}

TEST(SymbolTableTest, IncompleteOrImplausibleTablesFailAndKeepTheCallersTable) {
    KvloSdbSpec contents;
    contents.symbols = {{1, "A"}, {2, "B"}};
    contents.table1Count = 1;
    contents.table2Count = 1;
    contents.table4Count = 2;
    const ByteBuffer good = BuildKvloSdb(contents);
    const CLegacySymbolTable before(std::vector<CLegacySymbolRecord>{{7, "KEEP"}});

    const auto check = [&](const ByteBuffer& file, const char* what) {
        CLegacySymbolTable table = before;
        EXPECT_FALSE(ReadSymbolTable(file, &table)) << what;
        EXPECT_EQ(table.Records(), before.Records()) << what;
    };
    for (int t = 1; t <= 4; ++t) {
        ByteBuffer file = good;
        std::uint8_t* count = file.data() + KvloSdbCountOffset(t);
        StoreLEInt32(count + 4, LoadLEInt32(count) - 1);
        check(file, "capacity below count");
        StoreLEInt32(count, -1);
        StoreLEInt32(count + 4, 10);
        check(file, "negative count");
        StoreLEInt32(count, 0x7FFFFFFF);
        StoreLEInt32(count + 4, 0x7FFFFFFF);
        check(file, "count far beyond the file");
    }

    // Nothing but a header with empty tables is a complete, empty table.
    CLegacySymbolTable table = before;
    ASSERT_TRUE(ReadSymbolTable(BuildKvloSdb({}), &table));
    EXPECT_TRUE(table.Records().empty());
    EXPECT_EQ(table.LookupSymbol("KEEP"), nullptr);
}

TEST(SymbolTableTest, SymbolFillingItsFieldIsTakenWholeAndSpoilsNoOtherLookup) {
    KvloSdbSpec contents;
    contents.symbols = {{1, "A"}, {2, "FULL"}, {3, "Z"}};
    ByteBuffer file = BuildKvloSdb(contents);
    std::uint8_t* field = file.data() + 36 + 100 + 4;
    std::fill(field, field + 96, 'F');
    CLegacySymbolTable table;
    ASSERT_TRUE(ReadSymbolTable(file, &table));
    EXPECT_EQ(SymbolsOf(table), (std::vector<std::string>{"A", std::string(96, 'F'), "Z"}));
    EXPECT_EQ(table.LookupSymbol("A")->instrumentNumber, 1);
    EXPECT_EQ(table.LookupSymbol("Z")->instrumentNumber, 3);
    EXPECT_EQ(table.LookupSymbol("FULL"), nullptr);
}

} // namespace
} // namespace mvr
