// The main window's reactions to the lists box, the format box, the
// directory selection and the check boxes, over real directories on disk.

#include "core/app/MainWindowReactions.h"

#include "AppFixtures.h"
#include "core/app/SelectionBoxes.h"
#include "core/app/Session.h"
#include "core/formats/FormatCatalogue.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace mvr {
namespace {

class MainWindowReactionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::MakeIndex(dir.File("ascii"), kFormatAsciiComma, 3);
        test::MakeIndex(dir.File("meta"), kFormatMetaStock, 2);
        session.Directories().push_back(test::Record(dir.File("ascii"), kFormatAsciiComma));
        session.Directories().push_back(test::Record(dir.File("meta"), kFormatMetaStock));
        session.Lists().push_back(CMVRDirListInfo{});
        session.Lists().back().name = "Evening";
        session.RefillDirectoryList();
    }

    // The row that shows the directory.
    std::size_t RowOf(std::int32_t directory) const {
        const CExpDirListModel& list = session.DirectoryList();
        for (std::size_t row = 0; row < list.RowCount(); ++row) {
            if (list.RowDirectory(static_cast<std::int64_t>(row)) == directory) {
                return row;
            }
        }
        ADD_FAILURE() << "no row shows directory " << directory;
        return 0;
    }

    void SelectOnly(std::int32_t directory) {
        session.DirectoryList().Selection().SelectOnly(RowOf(directory));
        ASSERT_TRUE(reactions.DirectorySelectionChanged());
    }

    test::TempDir dir;
    CMVRKrsExpSession session;
    CMainWindowReactions reactions{session};
};

TEST_F(MainWindowReactionsTest, OneSelectedRowOpensItsDirectoryAndSeveralShowNoSymbols) {
    SelectOnly(1);
    EXPECT_EQ(session.CurrentDirectory(), 1);
    EXPECT_EQ(session.SymbolList().RowCount(), 2u);
    SelectOnly(0);
    EXPECT_EQ(session.CurrentDirectory(), 0);
    EXPECT_EQ(session.SymbolList().RowCount(), 3u);

    session.DirectoryList().Selection().Select(RowOf(1));
    EXPECT_TRUE(reactions.DirectorySelectionChanged());
    EXPECT_EQ(session.SymbolList().RowCount(), 0u);
    EXPECT_EQ(session.CurrentDirectory(), 0);
}

TEST_F(MainWindowReactionsTest, AFormatFilterThatHidesTheCurrentDirectoryEmptiesTheSymbolList) {
    SelectOnly(0);
    ASSERT_EQ(session.SymbolList().RowCount(), 3u);
    reactions.ChooseFormatEntry(FormatBoxEntryOf(kFormatMetaStock));
    EXPECT_EQ(session.User().formatFilter, kFormatMetaStock);
    ASSERT_EQ(session.DirectoryList().RowCount(), 1u);
    EXPECT_EQ(session.DirectoryList().RowDirectory(0), 1);
    EXPECT_EQ(session.SymbolList().RowCount(), 0u);

    reactions.ChooseFormatEntry(0);
    EXPECT_EQ(session.User().formatFilter, -1);
    EXPECT_EQ(session.DirectoryList().RowCount(), 2u);

    // A filter that keeps the current directory keeps its symbols.
    SelectOnly(1);
    reactions.ChooseFormatEntry(FormatBoxEntryOf(kFormatMetaStock));
    EXPECT_EQ(session.SymbolList().RowCount(), 2u);
}

TEST_F(MainWindowReactionsTest, ACheckBoxChangesTheActiveListOnlyWhileOneIsActive) {
    EXPECT_FALSE(reactions.CheckBoxChanged(RowOf(1), true));
    EXPECT_TRUE(session.Lists()[0].paths.empty());

    reactions.ChooseListEntry(1);
    ASSERT_TRUE(session.DirectoryList().CheckBoxesShown());
    EXPECT_TRUE(reactions.CheckBoxChanged(RowOf(1), true));
    EXPECT_TRUE(session.DirectoryList().IsChecked(RowOf(1)));
    ASSERT_EQ(session.Lists()[0].paths.size(), 1u);
    EXPECT_EQ(session.Lists()[0].paths[0], session.Directories()[1].path);
    EXPECT_FALSE(reactions.CheckBoxChanged(RowOf(1), true)); // already a member
    EXPECT_FALSE(reactions.CheckBoxChanged(99, true));

    EXPECT_TRUE(reactions.CheckBoxChanged(RowOf(1), false));
    EXPECT_TRUE(session.Lists()[0].paths.empty());
    EXPECT_FALSE(session.DirectoryList().IsChecked(RowOf(1)));

    reactions.ChooseListEntry(0);
    EXPECT_FALSE(session.DirectoryList().CheckBoxesShown());
    EXPECT_FALSE(reactions.CheckBoxChanged(RowOf(0), true));
    EXPECT_TRUE(session.Lists()[0].paths.empty());
}

} // namespace
} // namespace mvr
