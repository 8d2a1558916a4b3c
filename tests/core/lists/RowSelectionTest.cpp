#include "core/lists/RowSelection.h"

#include <gtest/gtest.h>

namespace mvr {
namespace {

TEST(RowSelectionTest, CountsAndRowsFollowEveryChange) {
    CRowSelection selection;
    selection.Reset(5);
    selection.Select(3);
    selection.Select(1);
    selection.Select(3); // twice is once
    selection.Select(7); // outside: ignored
    EXPECT_EQ(selection.Count(), 2u);
    EXPECT_EQ(selection.Rows(), (std::vector<std::size_t>{1, 3}));
    selection.Select(1, false);
    selection.Select(1, false);
    EXPECT_EQ(selection.Count(), 1u);

    selection.SelectOnly(4);
    EXPECT_EQ(selection.Rows(), (std::vector<std::size_t>{4}));
    EXPECT_EQ(selection.Focus(), 4u);
    selection.SetFocus(9);
    EXPECT_FALSE(selection.Focus().has_value());
}

TEST(RowSelectionTest, PermuteMovesSelectionAndFocusWithTheirRows) {
    CRowSelection selection;
    selection.Reset(4);
    selection.Select(0);
    selection.Select(2);
    selection.SetFocus(2);
    // New row i shows old row newToOld[i]: the order is reversed.
    const std::vector<std::size_t> newToOld{3, 2, 1, 0};
    selection.Permute(newToOld);
    EXPECT_EQ(selection.Rows(), (std::vector<std::size_t>{1, 3}));
    EXPECT_EQ(selection.Focus(), 1u);
    EXPECT_EQ(selection.Count(), 2u);

    // An order of the wrong length changes nothing.
    const std::vector<std::size_t> wrong{0, 1};
    selection.Permute(wrong);
    EXPECT_EQ(selection.Rows(), (std::vector<std::size_t>{1, 3}));
}

TEST(RowSelectionTest, AnInsertedRowPushesSelectionAndFocusDown) {
    CRowSelection selection;
    selection.Reset(3);
    selection.Select(0);
    selection.Select(2);
    selection.SetFocus(2);
    selection.InsertRow(1);
    EXPECT_EQ(selection.RowCount(), 4u);
    EXPECT_EQ(selection.Rows(), (std::vector<std::size_t>{0, 3}));
    EXPECT_EQ(selection.Focus(), 3u);
    EXPECT_EQ(selection.Count(), 2u);

    // At the end it moves nothing; beyond the end it is ignored.
    selection.InsertRow(4);
    selection.InsertRow(9);
    EXPECT_EQ(selection.RowCount(), 5u);
    EXPECT_EQ(selection.Rows(), (std::vector<std::size_t>{0, 3}));
    EXPECT_FALSE(selection.IsSelected(4));
    EXPECT_EQ(selection.Focus(), 3u);
}

} // namespace
} // namespace mvr
