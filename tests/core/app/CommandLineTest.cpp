#include "core/app/CommandLine.h"

#include "core/platform/Paths.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace mvr {
namespace {

TEST(AnalyseArgumentsTest, DefinitionFileRunNeedsExactlyFourArguments) {
    for (const auto& args :
         {std::vector<std::string>{"-nowindow", "-definitionfile", "a.txt", "x", "b.txt"},
          std::vector<std::string>{"-definitionfile", "a.txt", "x", "b.txt"},
          std::vector<std::string>{"-nowindow", "-nowindow", "-definitionfile", "a.txt", "x",
                                   "b.txt"}}) {
        const StartupArguments run = AnalyseArguments(args);
        EXPECT_EQ(run.kind, RunKind::DefinitionFile);
        EXPECT_EQ(run.definitionInput, "a.txt");
        EXPECT_EQ(run.definitionOutput, "b.txt");
    }
    const StartupArguments three = AnalyseArguments({"-definitionfile", "a.txt", "b.txt"});
    EXPECT_EQ(three.kind, RunKind::Window);
    EXPECT_EQ(three.firstArgument, "-definitionfile");
    EXPECT_EQ(three.secondArgument, "a.txt");
    // The switch is compared exactly: another letter case is no definition-file run.
    EXPECT_EQ(AnalyseArguments({"-DefinitionFile", "a", "x", "b"}).kind, RunKind::Window);
}

TEST(AnalyseArgumentsTest, BatchSwitchesAndInteractiveRuns) {
    const StartupArguments noWindow = AnalyseArguments({"-nowindow", "-updateall"});
    EXPECT_EQ(noWindow.kind, RunKind::Window);
    EXPECT_EQ(noWindow.firstArgument, "-updateall");
    EXPECT_TRUE(noWindow.secondArgument.empty());

    const StartupArguments none = AnalyseArguments({});
    EXPECT_TRUE(none.firstArgument.empty());
    EXPECT_TRUE(AnalyseArguments({"-nowindow"}).firstArgument.empty());

    const StartupArguments two = AnalyseArguments({"-dirupdate", "D:\\Data\\MS", "extra"});
    EXPECT_EQ(two.firstArgument, "-dirupdate");
    EXPECT_EQ(two.secondArgument, "D:\\Data\\MS");
}

// The path with '/' replaced by the native separator.
std::string Native(std::string path) {
    std::replace(path.begin(), path.end(), '/', kPathSeparator);
    return path;
}

class SelectBatchDirectoriesTest : public ::testing::Test {
protected:
    SelectBatchDirectoriesTest() {
        for (const char* path : {"Data/MS", "Data/Ascii", "data/intraday"}) {
            MVRKrsExportInfo info;
            info.path = Native(path) + kPathSeparator;
            directories.push_back(info);
        }
        CMVRDirListInfo daily;
        daily.name = "Daily";
        daily.paths = {directories[2].path, Native("data/ms/"), Native("gone/")};
        lists.push_back(daily);
    }

    BatchSelection Select(std::string_view first, std::string_view second = {}) {
        return SelectBatchDirectories(first, second, directories, lists);
    }

    std::vector<MVRKrsExportInfo> directories;
    std::vector<CMVRDirListInfo> lists;
};

TEST_F(SelectBatchDirectoriesTest, UpdateAllInAnyLetterCase) {
    const BatchSelection all = Select("-UpdateAll");
    EXPECT_TRUE(all.switchRecognised);
    EXPECT_EQ(all.directories, (std::vector<std::int32_t>{0, 1, 2}));
    EXPECT_EQ(all.mode, kUpdateModeFull);
    EXPECT_FALSE(all.realtime);
    EXPECT_TRUE(all.unattended);
    EXPECT_TRUE(Select("-updateallrt").realtime);
}

TEST_F(SelectBatchDirectoriesTest, DirectoryPathWithOrWithoutSeparatorAndStrayQuotes) {
    for (const std::string& value : {Native("Data/MS"), Native("Data/MS/"), Native("data/ms/\""),
                                     "\"" + Native("Data/MS") + "\""}) {
        const BatchSelection selected = Select("-dirupdate", value);
        EXPECT_EQ(selected.directories, std::vector<std::int32_t>{0}) << value;
        EXPECT_EQ(selected.mode, kUpdateModeFull);
    }
    EXPECT_TRUE(Select("-dirupdatert", Native("data/intraday")).realtime);
    EXPECT_TRUE(Select("-dirupdate", "").directories.empty());
}

TEST_F(SelectBatchDirectoriesTest, ListUpdateInDirectoryOrderSkippingUnknownPaths) {
    const BatchSelection selected = Select("-listupdate", "DAILY");
    EXPECT_EQ(selected.directories, (std::vector<std::int32_t>{0, 2}));
    EXPECT_EQ(selected.mode, kUpdateModeList);
    EXPECT_TRUE(Select("-listupdatert", "daily").realtime);
    EXPECT_TRUE(Select("-listupdate", "Weekly").directories.empty());
}

TEST_F(SelectBatchDirectoriesTest, DirectoriesInTwoListsOfOneNameAreSelectedOnce) {
    CMVRDirListInfo imported;
    imported.name = "daily";
    imported.kind = 5;
    imported.paths = {directories[1].path, directories[0].path};
    lists.push_back(imported);
    EXPECT_EQ(Select("-listupdate", "Daily").directories, (std::vector<std::int32_t>{0, 2, 1}));
}

TEST_F(SelectBatchDirectoriesTest, UnknownSwitchSelectsNothing) {
    const BatchSelection unknown = Select("-definitionfile", "a.txt");
    EXPECT_FALSE(unknown.switchRecognised);
    EXPECT_TRUE(unknown.directories.empty());
    EXPECT_FALSE(Select("").switchRecognised);
}

} // namespace
} // namespace mvr
