#include "core/app/Session.h"
#include "core/platform/AtomicFile.h"
#include "core/platform/Bytes.h"
#include "core/platform/ConfigFolder.h"
#include "core/platform/FileSystem.h"
#include "support/SmallFileSystem.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <map>
#include <random>

namespace mvr {
namespace {

using test::ReadBytes;
using test::ScopedEnvironment;
using test::TempDir;
using test::WriteBytes;

// A session with two directories, two lists (one with two paths) and an account.
void Populate(CMVRKrsExpSession& session) {
    session.User().account = "100200";
    session.User().password = "GEHEIM";
    MVRKrsExportInfo a;
    a.path = "/data/ms/";
    a.formatType = 4;
    a.interval = 5;
    MVRKrsExportInfo b;
    b.path = "/data/ascii/";
    b.formatType = 5;
    b.catalogueId = 12;
    b.catalogueName = "Indices/DAX";
    session.Directories() = {a, b};
    CMVRDirListInfo daily;
    daily.name = "Daily";
    daily.paths = {a.path, b.path};
    CMVRDirListInfo weekly;
    weekly.name = "Weekly";
    session.Lists() = {daily, weekly};
    session.Layout().columnWidths = {180, 150, 40, 130};
}

class ConfigStoreTest : public ::testing::Test {
protected:
    std::string File(const char* name) const { return folder.File(name); }

    TempDir folder;
    ScopedEnvironment environment{kConfigFolderVariable, folder.Path()};
};

TEST_F(ConfigStoreTest, FirstStartHasDefaultsAndCreatesTheFolder) {
    TempDir base;
    const std::string nested = base.File("deeper/still");
    ScopedEnvironment fresh{kConfigFolderVariable, nested};
    CMVRKrsExpSession session;
    ASSERT_TRUE(session.LoadConfig());
    EXPECT_TRUE(IsDirectory(nested));
    EXPECT_TRUE(session.Directories().empty());
    EXPECT_TRUE(session.Lists().empty());
    EXPECT_TRUE(session.User().account.empty());
    EXPECT_FALSE(session.SortStateLoaded());
    EXPECT_EQ(GetServerEndpoint().port, 443);
    EXPECT_EQ(GetServerEndpoint().name, PrimaryServerHost());
}

TEST_F(ConfigStoreTest, StoredFilesHaveTheirExactSizesAndBytes) {
    CMVRKrsExpSession session;
    Populate(session);
    session.SetCurrentDirectory(1);
    ASSERT_TRUE(session.StoreConfig());

    const auto user = ReadBytes(File(kUserFileName));
    ASSERT_EQ(user.size(), 1284u);
    EXPECT_EQ(LoadLEInt32(user.data()), 0x10000);
    EXPECT_EQ(LoadLEInt32(user.data() + 4), 1284);
    EXPECT_EQ(LoadFixedText(user.data() + 8, 260), "100200");
    EXPECT_NE(LoadFixedText(user.data() + 268, 260), "GEHEIM");
    EXPECT_EQ(LoadLEInt32(user.data() + 1280), 1);

    const auto dirs = ReadBytes(File(kDirectoryFileName));
    ASSERT_EQ(dirs.size(), 2u * 544);
    EXPECT_EQ(LoadFixedText(dirs.data() + 544, 260), "/data/ascii/");
    EXPECT_EQ(LoadLEInt32(dirs.data() + 544 + 276), 12);

    const auto lists = ReadBytes(File(kListFileName));
    ASSERT_EQ(lists.size(), 4u + (268 + 2 * 260) + 268);
    EXPECT_EQ(LoadLEInt32(lists.data()), 2);
    EXPECT_EQ(LoadFixedText(lists.data() + 4, 260), "Daily");
    EXPECT_EQ(LoadLEInt32(lists.data() + 4 + 260), 50);
    EXPECT_EQ(LoadLEInt32(lists.data() + 4 + 264), 2);
    EXPECT_EQ(LoadFixedText(lists.data() + 4 + 268 + 260, 260), "/data/ascii/");
    EXPECT_EQ(LoadFixedText(lists.data() + 4 + 268 + 520, 260), "Weekly");

    EXPECT_EQ(ReadBytes(File(kWindowFileName)).size(), 116u);

    CMVRKrsExpSession loaded;
    ASSERT_TRUE(loaded.LoadConfig());
    EXPECT_EQ(loaded.User().password, "GEHEIM");
    EXPECT_EQ(loaded.Directories(), session.Directories());
    EXPECT_EQ(loaded.Lists(), session.Lists());
    EXPECT_EQ(loaded.Layout().columnWidths, session.Layout().columnWidths);
    EXPECT_TRUE(loaded.SortStateLoaded());
}

TEST_F(ConfigStoreTest, NoListsGiveAnEmptyListFile) {
    CMVRKrsExpSession session;
    ASSERT_TRUE(session.StoreConfig());
    EXPECT_TRUE(EntryExists(File(kListFileName)));
    EXPECT_TRUE(ReadBytes(File(kListFileName)).empty());
    EXPECT_TRUE(ReadBytes(File(kDirectoryFileName)).empty());
    CMVRKrsExpSession loaded;
    ASSERT_TRUE(loaded.LoadConfig());
    EXPECT_TRUE(loaded.Lists().empty());
}

TEST_F(ConfigStoreTest, OlderUserFileGivesEveryDirectoryInterval10) {
    CMVRKrsExpSession session;
    Populate(session);
    ASSERT_TRUE(session.StoreConfig());
    const auto user = ReadBytes(File(kUserFileName));
    WriteBytes(File(kUserFileName),
               std::vector<std::uint8_t>(user.begin() + 8, user.begin() + 1056));

    CMVRKrsExpSession loaded;
    ASSERT_TRUE(loaded.LoadConfig());
    EXPECT_EQ(loaded.User().account, "100200");
    EXPECT_EQ(loaded.User().password, "GEHEIM");
    EXPECT_FALSE(loaded.SortStateLoaded());
    ASSERT_EQ(loaded.Directories().size(), 2u);
    for (const auto& d : loaded.Directories()) {
        EXPECT_EQ(d.interval, 10);
    }
    // Stored again, the user file is of the current layout.
    ASSERT_TRUE(loaded.StoreConfig());
    EXPECT_EQ(ReadBytes(File(kUserFileName)).size(), 1284u);
}

TEST_F(ConfigStoreTest, ServerEndpointComesFromTheIniFile) {
    WriteBytes(File(kIniFileName), std::vector<std::uint8_t>{'[', 'M', 'V', 'R', 'K', 'r', 's', 'E',
                                                             'x', 'p', ']', '\n'});
    ASSERT_TRUE(AppendFileAtomically(
        File(kIniFileName), std::vector<std::uint8_t>{'S', 'e', 'r', 'v', 'e', 'r', 'P', 'o', 'r',
                                                      't', '=', '7', '0', '0', '0', '\n'}));
    CMVRKrsExpSession session;
    ASSERT_TRUE(session.LoadConfig());
    EXPECT_EQ(GetServerEndpoint().port, 7000);
}

TEST_F(ConfigStoreTest, LoadRunsOncePerSession) {
    CMVRKrsExpSession session;
    Populate(session);
    ASSERT_TRUE(session.StoreConfig());
    CMVRKrsExpSession loaded;
    ASSERT_TRUE(loaded.LoadConfig());
    ASSERT_TRUE(loaded.LoadConfig());
    EXPECT_EQ(loaded.Directories().size(), 2u);
    EXPECT_EQ(loaded.Lists().size(), 2u);
}

TEST_F(ConfigStoreTest, InterruptedStoreLeavesThePreviousFilesIntact) {
    CMVRKrsExpSession session;
    Populate(session);
    ASSERT_TRUE(session.StoreConfig());
    const auto oldDirs = ReadBytes(File(kDirectoryFileName));
    const auto oldLists = ReadBytes(File(kListFileName));
    const auto oldUser = ReadBytes(File(kUserFileName));

    session.Directories().pop_back();
    session.Lists().clear();
    session.User().account = "999";
    {
        const CScopedAtomicWriteInterruption killed([](const std::string&) { return false; });
        EXPECT_FALSE(session.StoreConfig());
    }

    EXPECT_EQ(ReadBytes(File(kDirectoryFileName)), oldDirs);
    EXPECT_EQ(ReadBytes(File(kListFileName)), oldLists);
    EXPECT_EQ(ReadBytes(File(kUserFileName)), oldUser);
    EXPECT_EQ(ListFileNames(folder.Path()).size(), 4u);
}

// The configuration files of a failed store, each checked to be as it was
// before or as the next complete store writes it; temporary files are left
// only where the folder could not be written at all.
void ExpectEachFileOldOrNew(const std::map<std::string, std::vector<std::uint8_t>>& failed,
                            const std::map<std::string, std::vector<std::uint8_t>>& before,
                            const std::map<std::string, std::vector<std::uint8_t>>& after,
                            bool temporariesAllowed) {
    for (const auto& [name, bytes] : failed) {
        if (name.find(".tmp-") != std::string::npos) {
            EXPECT_TRUE(temporariesAllowed) << "left behind: " << name;
            continue;
        }
        ASSERT_TRUE(before.contains(name) && after.contains(name)) << name;
        EXPECT_TRUE(bytes == before.at(name) || bytes == after.at(name)) << name;
    }
}

TEST(ConfigStoreOnASmallDiskTest, AFullDiskOrAFolderTurnedReadOnlyKeepsEachFileOldOrNew) {
    test::SmallFileSystem disk(128 * 1024);
    if (!disk.Mounted()) {
        GTEST_SKIP() << disk.SkipReason();
    }
    const std::string folder = disk.File("config");
    const ScopedEnvironment environment{kConfigFolderVariable, folder};
    CMVRKrsExpSession session;
    Populate(session);
    ASSERT_TRUE(session.StoreConfig());
    const auto before = test::FolderContents(folder);

    session.Lists().clear();
    session.User().account = "999";
    session.Directories().pop_back();
    disk.Fill();
    EXPECT_FALSE(session.StoreConfig());
    const auto full = test::FolderContents(folder);
    disk.FreeFiller();

    // Read-only after the first file of the store.
    int replacements = 0;
    {
        const CScopedAtomicWriteInterruption readOnlyAfterTheFirst([&](const std::string&) {
            if (++replacements == 2) {
                EXPECT_TRUE(disk.SetReadOnly(true));
            }
            return true;
        });
        EXPECT_FALSE(session.StoreConfig());
    }
    const auto readOnly = test::FolderContents(folder);
    ASSERT_TRUE(disk.SetReadOnly(false));

    // With room again one store writes everything.
    ASSERT_TRUE(session.StoreConfig());
    auto after = test::FolderContents(folder);
    std::erase_if(after, [](const auto& file) { return file.first.find(".tmp-") != std::string::npos; });
    ExpectEachFileOldOrNew(full, before, after, false);
    ExpectEachFileOldOrNew(readOnly, before, after, true);
    EXPECT_NE(readOnly, before);
    CMVRKrsExpSession reloaded;
    ASSERT_TRUE(reloaded.LoadConfig());
    EXPECT_TRUE(reloaded.Lists().empty());
    EXPECT_EQ(reloaded.User().account, "999");
    EXPECT_EQ(reloaded.Directories(), session.Directories());
}

TEST_F(ConfigStoreTest, DamagedFilesNeverCrashAndTheNextStoreWritesSense) {
    CMVRKrsExpSession session;
    Populate(session);
    ASSERT_TRUE(session.StoreConfig());
    const auto lists = ReadBytes(File(kListFileName));
    const auto dirs = ReadBytes(File(kDirectoryFileName));

    // A list count far beyond the file and a directory file with a partial record.
    auto bigCount = lists;
    StoreLEInt32(bigCount.data(), 0x7FFFFFFF);
    WriteBytes(File(kListFileName), bigCount);
    WriteBytes(File(kDirectoryFileName), std::vector<std::uint8_t>(dirs.begin(), dirs.end() - 100));
    auto user = ReadBytes(File(kUserFileName));
    StoreLEInt32(user.data() + 532, 1000); // active list entry beyond the lists
    StoreLEInt32(user.data() + 528, 12345);
    WriteBytes(File(kUserFileName), user);

    CMVRKrsExpSession loaded;
    ASSERT_TRUE(loaded.LoadConfig());
    ASSERT_EQ(loaded.Directories().size(), 1u);
    EXPECT_EQ(loaded.Directories()[0].path, "/data/ms/");
    ASSERT_EQ(loaded.Lists().size(), 2u);
    EXPECT_EQ(loaded.Lists()[0].paths.size(), 2u);
    EXPECT_EQ(loaded.User().activeListEntry, 0);
    EXPECT_EQ(loaded.User().formatFilter, -1);
    ASSERT_TRUE(loaded.StoreConfig());
    EXPECT_EQ(ReadBytes(File(kDirectoryFileName)).size(), 544u);
    EXPECT_EQ(ReadBytes(File(kListFileName)), lists);
}

TEST_F(ConfigStoreTest, GarbageFilesOfEveryLengthLoad) {
    std::mt19937 random(42);
    for (std::size_t length : {0u, 1u, 3u, 43u, 47u, 543u, 1047u, 1048u, 1283u, 1284u, 5000u}) {
        std::vector<std::uint8_t> garbage(length);
        for (auto& b : garbage) {
            b = static_cast<std::uint8_t>(random());
        }
        for (const char* name :
             {kUserFileName, kDirectoryFileName, kListFileName, kWindowFileName, kIniFileName}) {
            WriteBytes(File(name), garbage);
        }
        CMVRKrsExpSession loaded;
        ASSERT_TRUE(loaded.LoadConfig()) << length;
        EXPECT_EQ(loaded.Directories().size(), length / 544) << length;
        ASSERT_TRUE(loaded.StoreConfig());
        CMVRKrsExpSession again;
        ASSERT_TRUE(again.LoadConfig());
        EXPECT_EQ(again.Directories().size(), loaded.Directories().size());
        EXPECT_EQ(again.Lists().size(), loaded.Lists().size());
    }
}

} // namespace
} // namespace mvr
