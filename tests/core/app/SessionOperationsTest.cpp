#include "AppFixtures.h"
#include "core/app/Session.h"
#include "core/platform/ConfigFolder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace mvr {
namespace {

using test::MakeIndex;
using test::Record;
using test::ScopedEnvironment;
using test::TempDir;

// Native paths: the separator of the platform, letter case as typed.
std::string Native(std::initializer_list<const char*> parts) {
    std::string path;
    for (const char* part : parts) {
        path += part;
        path += kPathSeparator;
    }
    return path;
}

class SessionOperationsTest : public ::testing::Test {
protected:
    void SetUp() override {
        session.Directories() = {Record(Native({"D:", "Kurse"}), kFormatMetaStock),
                                 Record(Native({"D:", "Ascii"}), kFormatAsciiComma),
                                 Record(Native({"E:", "Fonds"}), kFormatMetaStock)};
    }

    std::vector<std::string> Paths() const {
        std::vector<std::string> paths;
        for (const auto& record : session.Directories()) {
            paths.push_back(record.path);
        }
        return paths;
    }

    // The configuration as the next run would find it.
    struct Stored {
        std::vector<MVRKrsExportInfo> directories;
        std::vector<CMVRDirListInfo> lists;
        ExportUserInfo user;
    };
    Stored Reload() const {
        CMVRKrsExpSession loaded;
        EXPECT_TRUE(loaded.LoadConfig());
        return {loaded.Directories(), loaded.Lists(), loaded.User()};
    }

    TempDir config;
    ScopedEnvironment environment{kConfigFolderVariable, config.Path()};
    CMVRKrsExpSession session;
};

TEST_F(SessionOperationsTest, FindDirectoryByPathIgnoresLetterCase) {
    EXPECT_EQ(session.FindDirectoryByPath(Native({"d:", "kurse"})), 0);
    EXPECT_EQ(session.FindDirectoryByPath(Native({"E:", "FONDS"})), 2);
    EXPECT_EQ(session.FindDirectoryByPath(Native({"D:", "Kurse", "Sub"})), -1);
    EXPECT_EQ(session.FindDirectoryByPath("D:"), -1);
}

TEST_F(SessionOperationsTest, RemovingADirectoryRemovesItsPathOnceFromEveryList) {
    const std::string kurse = Native({"D:", "Kurse"});
    CMVRDirListInfo twice;
    twice.name = "Twice";
    twice.paths = {Native({"d:", "kurse"}), Native({"E:", "Fonds"}), kurse};
    CMVRDirListInfo once;
    once.name = "Once";
    once.paths = {kurse};
    CMVRDirListInfo other;
    other.name = "Other";
    other.paths = {Native({"D:", "Ascii"})};
    session.Lists() = {twice, once, other};

    ASSERT_TRUE(session.RemoveDirectories({Record(Native({"D:", "KURSE"}), kFormatMetaStock)}));
    EXPECT_EQ(Paths(),
              (std::vector<std::string>{Native({"D:", "Ascii"}), Native({"E:", "Fonds"})}));
    EXPECT_EQ(session.Lists()[0].paths, (std::vector<std::string>{Native({"E:", "Fonds"}), kurse}));
    EXPECT_TRUE(session.Lists()[1].paths.empty());
    EXPECT_EQ(session.Lists()[2].paths, other.paths);

    const Stored stored = Reload();
    EXPECT_EQ(stored.directories, session.Directories());
    EXPECT_EQ(stored.lists, session.Lists());
}

TEST_F(SessionOperationsTest, RemovingSeveralDirectoriesTakesEachRecordOnce) {
    const auto fonds = Record(Native({"E:", "Fonds"}), kFormatMetaStock);
    ASSERT_TRUE(
        session.RemoveDirectories({fonds, Record(Native({"D:", "Kurse"}), kFormatMetaStock), fonds,
                                   Record(Native({"X:", "never"}), kFormatMetaStock)}));
    EXPECT_EQ(Paths(), (std::vector<std::string>{Native({"D:", "Ascii"})}));
}

TEST_F(SessionOperationsTest, TheCurrentDirectoryFollowsItsDirectoryAcrossRemovals) {
    session.SetCurrentDirectory(2);
    ASSERT_TRUE(session.RemoveDirectories({Record(Native({"D:", "Kurse"}), kFormatMetaStock)}));
    EXPECT_EQ(session.CurrentDirectory(), 1);
    EXPECT_EQ(session.Directories()[1].path, Native({"E:", "Fonds"}));
    ASSERT_TRUE(session.RemoveDirectories({Record(Native({"D:", "Ascii"}), kFormatAsciiComma)}));
    EXPECT_EQ(session.CurrentDirectory(), 0);
    // Removing a directory after it changes nothing.
    session.Directories().push_back(Record(Native({"F:", "More"}), kFormatMetaStock));
    ASSERT_TRUE(session.RemoveDirectories({Record(Native({"F:", "More"}), kFormatMetaStock)}));
    EXPECT_EQ(session.CurrentDirectory(), 0);
}

TEST_F(SessionOperationsTest, RemovingTheCurrentDirectoryEmptiesTheCurrentIndexInPlace) {
    MakeIndex(config.File("ms"), kFormatMetaStock, 4);
    session.Directories().push_back(Record(config.File("ms"), kFormatMetaStock));
    ASSERT_TRUE(session.OpenCurrentDirectory(3));
    EXPECT_EQ(session.CurrentDirectory(), 3);
    const CExportDirectory* shown = &session.CurrentIndex();
    EXPECT_EQ(shown->SymbolCount(), 4u);

    ASSERT_TRUE(session.RemoveDirectories({session.Directories()[3]}));
    EXPECT_EQ(session.CurrentDirectory(), CMVRKrsExpSession::kNoCurrentDirectory);
    EXPECT_EQ(&session.CurrentIndex(), shown); // views keep a valid pointer
    EXPECT_EQ(session.CurrentIndex().SymbolCount(), 0u);
    EXPECT_TRUE(session.CurrentIndex().Path().empty());
    // The folder itself is not touched.
    CExportDirectory folder(kFormatMetaStock);
    ASSERT_TRUE(folder.Open(config.File("ms"), kFormatMetaStock));
    EXPECT_EQ(folder.SymbolCount(), 4u);
}

TEST_F(SessionOperationsTest, OpenCurrentDirectoryLoadsTheIndexOfTheDirectory) {
    MakeIndex(config.File("ascii"), kFormatAsciiComma, 2);
    session.Directories().push_back(Record(config.File("ascii"), kFormatAsciiComma));
    EXPECT_EQ(session.CurrentIndex().FormatType(), kFormatAsciiComma);
    ASSERT_TRUE(session.OpenCurrentDirectory(3));
    EXPECT_EQ(session.CurrentIndex().SymbolCount(), 2u);
    EXPECT_EQ(session.CurrentIndex().Path(), config.File("ascii") + kPathSeparator);
    // A directory without an index is current all the same.
    EXPECT_FALSE(session.OpenCurrentDirectory(0));
    EXPECT_EQ(session.CurrentDirectory(), 0);
    EXPECT_FALSE(session.OpenCurrentDirectory(4));
    EXPECT_FALSE(session.OpenCurrentDirectory(-1));
    EXPECT_EQ(session.CurrentDirectory(), 0);
}

TEST_F(SessionOperationsTest, AddListAppendsAnEmptySystemListAndStoresIt) {
    ASSERT_TRUE(session.AddList("Daily"));
    ASSERT_TRUE(session.AddList(std::string(300, 'n')));
    ASSERT_EQ(session.Lists().size(), 2u);
    EXPECT_EQ(session.Lists()[0].name, "Daily");
    EXPECT_EQ(session.Lists()[0].kind, CMVRDirListInfo::kSystemKind);
    EXPECT_TRUE(session.Lists()[0].paths.empty());
    EXPECT_EQ(session.Lists()[1].name.size(), 259u);
    EXPECT_EQ(Reload().lists, session.Lists());
}

TEST_F(SessionOperationsTest, RemovingTheActiveListLeavesNoneActiveAndTheDirectoriesAlone) {
    for (const char* name : {"A", "B", "C"}) {
        ASSERT_TRUE(session.AddList(name));
    }
    session.Lists()[1].paths = {Native({"D:", "Kurse"})};
    session.User().activeListEntry = 2; // B
    ASSERT_TRUE(session.RemoveList(1));
    EXPECT_EQ(session.User().activeListEntry, 0);
    EXPECT_EQ(session.Directories().size(), 3u);
    ASSERT_EQ(session.Lists().size(), 2u);
    EXPECT_EQ(session.Lists()[1].name, "C");

    const Stored stored = Reload();
    EXPECT_EQ(stored.lists, session.Lists());
    EXPECT_EQ(stored.user.activeListEntry, 0);
}

TEST_F(SessionOperationsTest, RemovingAnEarlierListKeepsTheSameListActive) {
    for (const char* name : {"A", "B", "C"}) {
        ASSERT_TRUE(session.AddList(name));
    }
    session.User().activeListEntry = 3; // C
    ASSERT_TRUE(session.RemoveList(0));
    EXPECT_EQ(session.User().activeListEntry, 2);
    EXPECT_EQ(session.Lists()[1].name, "C");
    ASSERT_TRUE(session.RemoveList(1));
    EXPECT_EQ(session.User().activeListEntry, 0);
    EXPECT_FALSE(session.RemoveList(5));
    EXPECT_EQ(session.Lists().size(), 1u);
}

TEST_F(SessionOperationsTest, TickingAndClearingMembershipChangesOnlyWhatDiffers) {
    ASSERT_TRUE(session.AddList("Daily"));
    const std::string kurse = Native({"D:", "Kurse"});
    EXPECT_TRUE(session.SetMembership(0, kurse, true));
    EXPECT_FALSE(session.SetMembership(0, Native({"d:", "KURSE"}), true)); // already in it
    EXPECT_TRUE(session.SetMembership(0, Native({"E:", "Fonds"}), true));
    EXPECT_EQ(session.Lists()[0].paths, (std::vector<std::string>{kurse, Native({"E:", "Fonds"})}));
    EXPECT_FALSE(session.SetMembership(0, Native({"D:", "Ascii"}), false)); // not in it
    EXPECT_TRUE(session.SetMembership(0, Native({"d:", "kurse"}), false));
    EXPECT_EQ(session.Lists()[0].paths, (std::vector<std::string>{Native({"E:", "Fonds"})}));
    EXPECT_FALSE(session.SetMembership(3, kurse, true));

    // Membership is written by the next store, not by the tick itself.
    EXPECT_TRUE(Reload().lists[0].paths.empty());
    ASSERT_TRUE(session.StoreConfig());
    EXPECT_EQ(Reload().lists[0].paths, session.Lists()[0].paths);
}

TEST_F(SessionOperationsTest, TheListsSortStateTravelsWithTheConfiguration) {
    session.DirectoryList().SetSortState(CExpDirListModel::kColumnSymbols, true);
    session.SymbolList().SetSortState(CExpSymbolListModel::kColumnFrom, false);
    ASSERT_TRUE(session.StoreConfig());

    CMVRKrsExpSession loaded;
    ASSERT_TRUE(loaded.LoadConfig());
    EXPECT_EQ(loaded.DirectoryList().SortColumn(), CExpDirListModel::kColumnSymbols);
    EXPECT_TRUE(loaded.DirectoryList().IsDescending());
    EXPECT_EQ(loaded.SymbolList().SortColumn(), CExpSymbolListModel::kColumnFrom);
    EXPECT_FALSE(loaded.SymbolList().IsAscending());

    // The directory list sorts by it as soon as it is filled.
    loaded.Directories() = {Record("/k/a", 4), Record("/k/b", 4)};
    loaded.Directories()[0].symbolCount = 9;
    loaded.Directories()[1].symbolCount = 10;
    loaded.DirectoryList().FillDirectories(loaded.Directories(), -1);
    EXPECT_EQ(loaded.DirectoryList().CellText(0, CExpDirListModel::kColumnSymbols), "10");
}

TEST_F(SessionOperationsTest, OpeningTheCurrentDirectoryShowsItInTheSymbolList) {
    MakeIndex(config.File("ms"), kFormatMetaStock, 3);
    session.Directories().push_back(Record(config.File("ms"), kFormatMetaStock));
    ASSERT_TRUE(session.OpenCurrentDirectory(3));
    EXPECT_EQ(session.SymbolList().Directory(), &session.CurrentIndex());
    EXPECT_EQ(session.SymbolList().RowCount(), 3u);
    ASSERT_TRUE(session.RemoveDirectories({session.Directories()[3]}));
    EXPECT_EQ(session.SymbolList().RowCount(), 0u);
}

} // namespace
} // namespace mvr
