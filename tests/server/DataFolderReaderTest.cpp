#include "server/DataFolderReader.h"

#include "core/platform/FileSystem.h"
#include "server/DataFolderLayout.h"
#include "server/DemoRandom.h"
#include "SmallDataFolder.h"
#include "support/TempDir.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace mvr {
namespace {

using test::SmallTables;
using test::TempDir;
using test::WriteDataFile;
using test::WriteDataFolder;

bool LongTests() {
    const char* value = std::getenv("MVR_LONG_TESTS");
    return value != nullptr && std::string(value) == "1";
}

TEST(DataFolderReaderTest, WrittenTablesReadBackUnchanged) {
    TempDir folder;
    const ServerTables tables = SmallTables();
    WriteDataFolder(folder.Path(), tables);
    CDataFolderReader reader(folder.Path());
    const auto read = reader.ReadTables();
    ASSERT_TRUE(read) << reader.Error().Text();
    EXPECT_EQ(*read, tables);
    EXPECT_TRUE(reader.Warnings().empty());
}

TEST(DataFolderReaderTest, OptionalFilesMayBeMissingAndRequiredOnesMayNot) {
    TempDir folder;
    WriteDataFolder(folder.Path());
    for (std::string_view optional :
         {kSettingsFile, kClientInfoFile, kCountriesFile, kLegacyNumbersFile, kCatalogueGroupsFile,
          kCataloguesFile, kCatalogueTreeFile, kCatalogueMembersFile}) {
        ASSERT_TRUE(RemoveFile(DataFilePath(folder.Path(), optional)));
    }
    const auto read = CDataFolderReader(folder.Path()).ReadTables();
    ASSERT_TRUE(read);
    EXPECT_EQ(read->settings, ServerSettings{});
    EXPECT_TRUE(read->catalogues.empty());
    EXPECT_EQ(read->instruments.size(), SmallTables().instruments.size());

    for (std::string_view required :
         {kAccountsFile, kSecurityTypesFile, kExchangesFile, kSearchKindsFile, kInstrumentsFile}) {
        TempDir other;
        WriteDataFolder(other.Path());
        ASSERT_TRUE(RemoveFile(DataFilePath(other.Path(), required)));
        CDataFolderReader reader(other.Path());
        EXPECT_FALSE(reader.ReadTables()) << required;
        EXPECT_EQ(reader.Error().Text(), std::string(required) + ": the file is missing");
    }
}

struct MalformedCase {
    std::string_view file;
    std::string text;
    int line;
    std::string message;
};

constexpr const char* kAccounts =
    "account,password,state,login_result,check_result,login_number,flags,message\n";
constexpr const char* kInstruments =
    "sincode,legacy,type,exchange,symbol,isin,name,currency,decimals\n";

TEST(DataFolderReaderTest, EachMalformedTableGivesItsFileLineAndReason) {
    const std::string valid =
        std::string(kInstruments) + "1001,501,1,1,SAPX,DE0007164600,Sapex,EUR,2\n";
    const MalformedCase cases[] = {
        {kAccountsFile, std::string(kAccounts) + "x,pw,frozen,,,,,\n", 2,
         "state 'frozen' is not one of valid, blocked"},
        {kAccountsFile, std::string(kAccounts) + "x,pw,valid,1,,5,,\n", 2,
         "a valid account needs check_result"},
        {kAccountsFile, std::string(kAccounts) + "a,pw,blocked,,,,,\na,pw,invalid,,,,,\n", 3,
         "account 'a' already appears on line 2"},
        {kAccountsFile, std::string(kAccounts) + "m,pw,message,,,,,\n", 2, "message is empty"},
        {kAccountsFile, std::string(kAccounts) + "a,p,valid,1,5,6,,\n\nb,p,valid,1,5,7,,\n", 4,
         "check_result '5' already appears on line 2"},
        {kAccountsFile, std::string(kAccounts) + "a,p,valid,1,5,6,,\nb,p,valid,1,8,6,,\n", 3,
         "login_number '6' already appears on line 2"},
        {kAccountsFile, std::string(kAccounts) + "a,p,valid,1,5,6,0xZZ,\n", 2,
         "flags '0xZZ' is not a 32-bit number"},
        {kAccountsFile, std::string(kAccounts) + "a,p,valid,0,5,6,,\n", 2,
         "login_result '0' is not a whole number from 1 to 2147483647"},
        {kAccountsFile, std::string(kAccounts) + "a,p,valid,1,5,6\n", 2,
         "expected 8 fields (account,password,state,login_result,check_result,login_number,"
         "flags,message), found 6"},
        {kSecurityTypesFile, "number,name\n0,Zero\n", 2,
         "number '0' is not a whole number from 1 to 32767"},
        {kSecurityTypesFile, "number,name\n40000,Big\n", 2, "from 1 to 32767"},
        {kSecurityTypesFile, "number,name\n1," + std::string(51, 'n') + "\n", 2,
         "is longer than 50 bytes"},
        {kSecurityTypesFile, "number,name\n1,\n", 2, "name is empty"},
        {kSecurityTypesFile, "name,number\n", 1, "the header line must be number,name"},
        {kExchangesFile, "number,name,flag,session_start\n1,X,1,9:00\n", 2,
         "session_start '9:00' is not a time of day HH:MM"},
        {kExchangesFile, "number,name,flag,session_start\n1,X,yes,09:00\n", 2,
         "flag 'yes' is not 0 or 1"},
        {kSearchKindsFile, "code,name,fields,match\n256,Big,name,exact\n", 2,
         "code '256' is not a whole number from 0 to 255"},
        {kSearchKindsFile, "code,name,fields,match\n1,Twice,symbol+symbol,exact\n", 2,
         "fields 'symbol+symbol' is not a list like symbol+name+isin"},
        {kSearchKindsFile, "code,name,fields,match\n1,Odd,name,fuzzy\n", 2,
         "match 'fuzzy' is not exact, prefix or contains"},
        {kInstrumentsFile, valid + "1002,0,9,1,X,,Name,EUR,2\n", 3,
         "type '9' is not in security_types.csv"},
        {kInstrumentsFile, valid + "1002,0,1,8,X,,Name,EUR,2\n", 3,
         "exchange '8' is not in exchanges.csv"},
        {kInstrumentsFile, valid + "1002,0,1,1,X,DE0007164601,Name,EUR,2\n", 3,
         "isin 'DE0007164601' is not an ISIN with a valid check digit"},
        {kInstrumentsFile, valid + "1002,0,1,1,SAPX,,Name,EUR,2\n", 3,
         "symbol 'SAPX' already appears on line 2"},
        {kInstrumentsFile, valid + "1001,0,1,1,X,,Name,EUR,2\n", 3,
         "sincode '1001' already appears on line 2"},
        {kInstrumentsFile, valid + "1002,501,1,1,X,,Name,EUR,2\n", 3,
         "legacy '501' already appears on line 2"},
        {kInstrumentsFile, valid + "1073741824,0,1,1,X,,Name,EUR,2\n", 3,
         "sincode '1073741824' is not a whole number from 1 to 1073741823"},
        {kInstrumentsFile, valid + "1002,0,1,1,X,,Name,EUR,7\n", 3,
         "decimals '7' is not a whole number from 0 to 6"},
        {kInstrumentsFile, valid + "1002,0,1,1," + std::string(30, 'S') + ",,Name,EUR,2\n", 3,
         "is longer than 29 bytes"},
        {kInstrumentsFile, valid + "1002,0,1,1,X,,Na\x01me,EUR,2\n", 3,
         "holds a control character"},
        {kInstrumentsFile, valid + "1002,0,1,1,X,,Name,EURO1234,2\n", 3,
         "currency 'EURO1234' is longer than 7 bytes"},
        {kLegacyNumbersFile, "legacy,sincode\n501,1001\n", 2,
         "legacy '501' is already the legacy number of an instrument"},
        {kLegacyNumbersFile, "legacy,sincode\n9001,1002\n9001,1003\n", 3,
         "legacy '9001' already appears on line 2"},
        {kLegacyNumbersFile, "legacy,sincode\n9001,4242\n", 2,
         "sincode '4242' is not in instruments.csv"},
        {kCataloguesFile, "number,short_name,name\n0,ZERO,Zero\n", 2,
         "number '0' is not a whole number from 1 to 32767"},
        {kCatalogueMembersFile, "catalogue,sincode\n1,1001\n9,1001\n", 3,
         "catalogue '9' is not in catalogues.csv"},
        {kCatalogueMembersFile, "catalogue,sincode\n1,4242\n", 2,
         "sincode '4242' is not in instruments.csv"},
        {kCatalogueTreeFile, "id,parent,kind,extra\n1,-1,256,0\n", 2,
         "kind '256' is not a whole number from 0 to 255"},
        {kSettingsFile, "search_hit_limit=0\n", 1,
         "search_hit_limit '0' is not a whole number from 1 to 100000"},
        {kSettingsFile, "# x\nsearch_limit=5\n", 2, "unknown key search_limit"},
        {kClientInfoFile, "update_available=2\n", 1, "update_available '2' is not 0 or 1"},
        {kClientInfoFile, "message=" + std::string(2001, 'm') + "\n", 1,
         "message is longer than 2000 bytes"},
        {kClientInfoFile, "info_address=a\\nb\n", 1, "info_address holds a control character"},
    };
    TempDir folder;
    WriteDataFolder(folder.Path());
    for (const MalformedCase& c : cases) {
        const std::string path = DataFilePath(folder.Path(), c.file);
        const auto original = test::ReadBytes(path);
        test::WriteBytes(path, std::vector<std::uint8_t>(c.text.begin(), c.text.end()));
        CDataFolderReader reader(folder.Path());
        EXPECT_FALSE(reader.ReadTables()) << c.file << ": " << c.message;
        EXPECT_EQ(reader.Error().file, c.file) << c.message;
        EXPECT_EQ(reader.Error().line, c.line) << c.message;
        EXPECT_NE(reader.Error().message.find(c.message), std::string::npos)
            << "expected: " << c.message << "\ngot: " << reader.Error().Text();
        test::WriteBytes(path, original);
    }
}

TEST(DataFolderReaderTest, ClientMessageMayHoldLineBreaks) {
    TempDir folder;
    WriteDataFolder(folder.Path());
    WriteDataFile(folder.Path(), kClientInfoFile, "message=one\\ntwo\n");
    const auto read = CDataFolderReader(folder.Path()).ReadTables();
    ASSERT_TRUE(read);
    EXPECT_EQ(read->clientInfo.message, "one\ntwo");
    EXPECT_EQ(read->clientInfo.infoAddress, "");
}

TEST(DataFolderReaderTest, TreeEntriesTheClientShowsOddlyAreWarnings) {
    TempDir folder;
    WriteDataFolder(folder.Path());
    WriteDataFile(folder.Path(), kCatalogueTreeFile,
                  "id,parent,kind,extra\n10,-1,0,0\n1,99,1,0\n77,10,0,0\n55,10,1,0\n");
    CDataFolderReader reader(folder.Path());
    ASSERT_TRUE(reader.ReadTables()) << reader.Error().Text();
    ASSERT_EQ(reader.Warnings().size(), 3u);
    EXPECT_EQ(reader.Warnings()[0],
              "catalogue_tree.csv:3: parent 99 is no group of the tree; the entry is never shown");
    EXPECT_EQ(reader.Warnings()[1], "catalogue_tree.csv:4: group 77 is not in "
                                    "catalogue_groups.csv; it is shown without a name");
    EXPECT_EQ(reader.Warnings()[2], "catalogue_tree.csv:5: catalogue 55 is not in "
                                    "catalogues.csv; it is shown without a name");
}

TEST(DataFolderReaderTest, GroupsInsideThemselvesOrNestedTooDeeplyAreRefused) {
    struct Case {
        std::string tree;
        int line;
        const char* message;
    };
    std::string chain;
    for (int id = 1; id <= kMaxTreeDepth + 1; ++id) {
        chain += std::to_string(id) + "," + std::to_string(id == 1 ? -1 : id - 1) + ",0,0\n";
    }
    const Case cases[] = {
        {"5,5,0,0\n", 2, "group 5 is placed inside itself"},
        {"10,-1,0,0\n11,10,0,0\n10,11,0,0\n", 3, "group 11 is placed inside itself"},
        {chain, 2, "nested deeper than 64 levels"},
    };
    for (const Case& c : cases) {
        TempDir folder;
        WriteDataFolder(folder.Path());
        WriteDataFile(folder.Path(), kCatalogueTreeFile, "id,parent,kind,extra\n" + c.tree);
        CDataFolderReader reader(folder.Path());
        EXPECT_FALSE(reader.ReadTables()) << c.message;
        EXPECT_EQ(reader.Error().line, c.line) << c.message;
        EXPECT_NE(reader.Error().message.find(c.message), std::string::npos)
            << reader.Error().Text();
    }
    // As deep as allowed, shared subtrees included, is fine.
    std::string deepest;
    for (int id = 1; id <= kMaxTreeDepth; ++id) {
        deepest += std::to_string(id) + "," + std::to_string(id == 1 ? -1 : id - 1) + ",0,0\n";
    }
    deepest += "2,-1,0,0\n";
    TempDir folder;
    WriteDataFolder(folder.Path());
    WriteDataFile(folder.Path(), kCatalogueTreeFile, "id,parent,kind,extra\n" + deepest);
    CDataFolderReader reader(folder.Path());
    EXPECT_TRUE(reader.ReadTables()) << reader.Error().Text();
}

TEST(DataFolderReaderTest, TablesBeyondTheRowLimitAreRefused) {
    TempDir folder;
    WriteDataFolder(folder.Path());
    std::string tree = "id,parent,kind,extra\n";
    for (std::size_t i = 0; i <= kMaxTableRows; ++i) {
        tree += "1,-1,1,0\n";
    }
    WriteDataFile(folder.Path(), kCatalogueTreeFile, tree);
    CDataFolderReader reader(folder.Path());
    EXPECT_FALSE(reader.ReadTables());
    EXPECT_EQ(reader.Error().line, static_cast<int>(kMaxTableRows) + 2);
    EXPECT_NE(reader.Error().message.find("more than 1000000 rows"), std::string::npos);
}

// Damaged copies of every table file: the reader answers with tables or an
// error naming that file, and never crashes or hangs.
TEST(DataFolderReaderTest, DamagedFilesNeverCrashTheReader) {
    TempDir folder;
    WriteDataFolder(folder.Path());
    const std::string_view files[] = {kSettingsFile,        kClientInfoFile,  kAccountsFile,
                                      kSecurityTypesFile,   kCountriesFile,   kExchangesFile,
                                      kSearchKindsFile,     kInstrumentsFile, kLegacyNumbersFile,
                                      kCatalogueGroupsFile, kCataloguesFile,  kCatalogueTreeFile,
                                      kCatalogueMembersFile};
    CDemoRandom random(42);
    const int rounds = LongTests() ? 2000 : 80;
    for (std::string_view file : files) {
        const std::string path = DataFilePath(folder.Path(), file);
        const auto original = test::ReadBytes(path);
        for (int round = 0; round < rounds; ++round) {
            auto damaged = original;
            if (round % 3 == 0) {
                damaged.resize(random.Below(original.size() + 1)); // cut short
            } else {
                for (int flips = 1 + static_cast<int>(random.Below(3)); flips > 0; --flips) {
                    damaged[random.Below(damaged.size())] =
                        static_cast<std::uint8_t>(random.Next());
                }
            }
            test::WriteBytes(path, damaged);
            CDataFolderReader reader(folder.Path());
            if (!reader.ReadTables()) {
                EXPECT_FALSE(reader.Error().message.empty());
                EXPECT_FALSE(reader.Error().file.empty());
            }
        }
        test::WriteBytes(path, original);
    }
}

} // namespace
} // namespace mvr
