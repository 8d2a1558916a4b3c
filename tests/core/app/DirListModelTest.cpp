#include "AppFixtures.h"
#include "core/app/ExpDirListModel.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace mvr {
namespace {

using test::MakeIndex;
using test::Record;
using test::TempDir;

TEST(CompareListTextsTest, NumbersCompareByValueSoNineComesBeforeTen) {
    EXPECT_LT(CompareListTexts("9", "10"), 0);
    EXPECT_GT(CompareListTexts("10", "9"), 0);
    EXPECT_EQ(CompareListTexts(" 12 ", "12"), 0);
    EXPECT_LT(CompareListTexts("1.5e1", "16"), 0);
    EXPECT_LT(CompareListTexts("-3", "2"), 0);
    // A number against a text that begins with none: the text counts as 0.
    EXPECT_LT(CompareListTexts("Alpha", "3"), 0);
    // Two zeros of which one is written with the digit 0 compare as numbers.
    EXPECT_EQ(CompareListTexts("0", "Zulu"), 0);
    EXPECT_GT(CompareListTexts("007 Fund", "0"), 0);
}

TEST(CompareListTextsTest, TextsCompareUpperCasedByteByByte) {
    EXPECT_LT(CompareListTexts("alpha", "Beta"), 0);
    EXPECT_EQ(CompareListTexts("  MetaStock", "metastock "), 0);
    EXPECT_LT(CompareListTexts("", "5"), 0); // an empty text always compares as text
    EXPECT_GT(CompareListTexts("[x]", "Zulu"), 0);
    EXPECT_GT(CompareListTexts("\xE4", "z"), 0); // unsigned byte values
}

TEST(CompareListTextsTest, NamesThatSpellInfinityOrNanStayTexts) {
    EXPECT_LT(CompareListTexts("Apple", "Infineon"), 0);
    EXPECT_GT(CompareListTexts("Nanotech", "Infineon"), 0);
    EXPECT_LT(CompareListTexts("Infineon", "5"), 0);
    EXPECT_LT(CompareListTexts("0x1F", "1"), 0); // 0, not thirty-one
}

class DirListModelTest : public ::testing::Test {
protected:
    std::string Folder(const std::string& name) const {
        return WithTrailingSeparator(dir.File(name));
    }

    std::vector<std::string> Column(int column) const {
        std::vector<std::string> texts;
        for (std::size_t row = 0; row < model.RowCount(); ++row) {
            texts.push_back(model.CellText(row, column));
        }
        return texts;
    }

    std::vector<std::int32_t> RowDirectories() const {
        std::vector<std::int32_t> indices;
        for (std::size_t row = 0; row < model.RowCount(); ++row) {
            indices.push_back(model.RowDirectory(static_cast<std::int64_t>(row)));
        }
        return indices;
    }

    // Records whose counts are given, so that no folder is needed.
    static std::vector<MVRKrsExportInfo> Counted(const std::vector<std::int32_t>& counts) {
        std::vector<MVRKrsExportInfo> records;
        for (std::size_t i = 0; i < counts.size(); ++i) {
            MVRKrsExportInfo record = Record("/k/dir" + std::to_string(i) + "/", kFormatMetaStock);
            record.symbolCount = counts[i];
            records.push_back(record);
        }
        return records;
    }

    TempDir dir;
    CExpDirListModel model;
};

TEST_F(DirListModelTest, ColumnsAreDirectoryFormatCountAndCatalogue) {
    const auto columns = CExpDirListModel::Columns();
    ASSERT_EQ(columns.size(), 4u);
    EXPECT_STREQ(columns[0].title, "Directory");
    EXPECT_EQ(columns[0].width, 180);
    EXPECT_STREQ(columns[1].title, "Format");
    EXPECT_STREQ(columns[2].title, "No. Symbols");
    EXPECT_EQ(columns[2].width, 40);
    EXPECT_STREQ(columns[3].title, "linked catalog");
}

TEST_F(DirListModelTest, FillShowsTheFilteredDirectoriesWithTheirCountedSymbols) {
    MakeIndex(Folder("ms"), kFormatMetaStock, 12);
    MakeIndex(Folder("ascii"), kFormatAsciiComma, 1);
    const std::vector<MVRKrsExportInfo> directories{
        Record(Folder("ms"), kFormatMetaStock, "Indices/DAX", 7),
        Record(Folder("missing"), kFormatMetaStock),
        Record(Folder("ascii"), kFormatAsciiComma),
    };
    model.FillDirectories(directories, -1);
    // Sorted by path: ascii, missing, ms.
    EXPECT_EQ(RowDirectories(), (std::vector<std::int32_t>{2, 1, 0}));
    EXPECT_EQ(Column(0),
              (std::vector<std::string>{Folder("ascii"), Folder("missing"), Folder("ms")}));
    EXPECT_EQ(Column(1),
              (std::vector<std::string>{"Ascii: Comma Delimited", "MetaStock", "MetaStock"}));
    EXPECT_EQ(Column(2), (std::vector<std::string>{"1", "0", "12"}));
    EXPECT_EQ(Column(3), (std::vector<std::string>{"", "", "Indices/DAX"}));

    model.FillDirectories(directories, kFormatMetaStock);
    EXPECT_EQ(RowDirectories(), (std::vector<std::int32_t>{1, 0}));
    EXPECT_FALSE(model.ContainsDirectory(2));
    EXPECT_TRUE(model.ContainsDirectory(0));
}

TEST_F(DirListModelTest, AGivenCountIsShownOnlyWithoutAFormatFilter) {
    MakeIndex(Folder("ms"), kFormatMetaStock, 3);
    std::vector<MVRKrsExportInfo> directories{Record(Folder("ms"), kFormatMetaStock)};
    directories[0].symbolCount = 2;
    model.FillDirectories(directories, -1);
    EXPECT_EQ(model.CellText(0, 2), "2");
    model.FillDirectories(directories, kFormatMetaStock);
    EXPECT_EQ(model.CellText(0, 2), "3");
    // RefreshCounts always counts the folder.
    model.FillDirectories(directories, -1);
    model.RefreshCounts(directories);
    EXPECT_EQ(model.CellText(0, 2), "3");
}

TEST_F(DirListModelTest, RefreshCountsSeesSymbolsAddedToTheFolders) {
    MakeIndex(Folder("a"), kFormatAsciiComma, 2);
    const std::vector<MVRKrsExportInfo> directories{Record(Folder("a"), kFormatAsciiComma)};
    model.FillDirectories(directories, -1);
    EXPECT_EQ(model.RowSymbolCount(0), 2);
    MakeIndex(Folder("a"), kFormatAsciiComma, 5);
    EXPECT_EQ(model.RowSymbolCount(0), 2);
    model.RefreshCounts(directories);
    EXPECT_EQ(model.RowSymbolCount(0), 5);
}

TEST_F(DirListModelTest, SortingTheCountColumnPutsNineBeforeTenAndASecondClickReverses) {
    const auto directories = Counted({10, 9, 100, 2});
    model.FillDirectories(directories, -1);
    model.SortByColumn(CExpDirListModel::kColumnSymbols);
    EXPECT_FALSE(model.IsDescending());
    EXPECT_EQ(Column(2), (std::vector<std::string>{"2", "9", "10", "100"}));
    model.SortByColumn(CExpDirListModel::kColumnSymbols);
    EXPECT_TRUE(model.IsDescending());
    EXPECT_EQ(Column(2), (std::vector<std::string>{"100", "10", "9", "2"}));
    EXPECT_EQ(RowDirectories(), (std::vector<std::int32_t>{2, 0, 1, 3}));
}

TEST_F(DirListModelTest, SortingByPathIsByTextAndSurvivesARefill) {
    std::vector<MVRKrsExportInfo> directories{Record("/k/b10/", 4), Record("/k/B9/", 4),
                                              Record("/k/a/", 4)};
    for (auto& record : directories) {
        record.symbolCount = 1;
    }
    model.FillDirectories(directories, -1);
    EXPECT_EQ(Column(0), (std::vector<std::string>{"/k/a/", "/k/b10/", "/k/B9/"}));
    model.SortByColumn(CExpDirListModel::kColumnDirectory);
    EXPECT_TRUE(model.IsDescending());
    EXPECT_EQ(Column(0), (std::vector<std::string>{"/k/B9/", "/k/b10/", "/k/a/"}));
    // A refill keeps column and direction.
    model.FillDirectories(directories, -1);
    EXPECT_TRUE(model.IsDescending());
    EXPECT_EQ(Column(0), (std::vector<std::string>{"/k/B9/", "/k/b10/", "/k/a/"}));
}

TEST_F(DirListModelTest, AStoredSortStateIsAppliedByTheNextFill) {
    const auto directories = Counted({5, 7, 6});
    model.SetSortState(CExpDirListModel::kColumnSymbols, true);
    model.FillDirectories(directories, -1);
    EXPECT_EQ(Column(2), (std::vector<std::string>{"7", "6", "5"}));
    EXPECT_EQ(model.SortColumn(), CExpDirListModel::kColumnSymbols);
    EXPECT_TRUE(model.IsDescending());
}

TEST_F(DirListModelTest, RowsThatCompareEqualStayInPathOrder) {
    auto directories = Counted({3, 3, 3});
    directories[0].path = "/k/c/";
    directories[1].path = "/k/a/";
    directories[2].path = "/k/b/";
    model.FillDirectories(directories, -1);
    model.SortByColumn(CExpDirListModel::kColumnFormat);
    EXPECT_EQ(RowDirectories(), (std::vector<std::int32_t>{1, 2, 0}));
}

TEST_F(DirListModelTest, SelectionAndCheckMarksMoveWithTheirRowsWhenSorting) {
    const auto directories = Counted({30, 10, 20});
    CMVRDirListInfo list;
    list.paths = {"/K/DIR1/"}; // other letter case
    model.FillDirectories(directories, -1);
    model.ApplyActiveList(&list);
    model.Selection().Select(0); // directory 0
    model.SortByColumn(CExpDirListModel::kColumnSymbols);
    EXPECT_EQ(model.SelectedDirectories(), (std::vector<std::int32_t>{0}));
    EXPECT_EQ(model.Selection().Rows(), (std::vector<std::size_t>{2}));
    EXPECT_TRUE(model.IsChecked(0)); // directory 1, count 10
    EXPECT_FALSE(model.IsChecked(1));
}

TEST_F(DirListModelTest, SelectDirectorySelectsOnlyItsRowWithoutFocus) {
    const auto directories = Counted({1, 2, 3});
    model.FillDirectories(directories, -1);
    model.Selection().Select(0);
    model.Selection().SetFocus(0);
    EXPECT_TRUE(model.SelectDirectory(2));
    EXPECT_EQ(model.SelectedDirectories(), (std::vector<std::int32_t>{2}));
    EXPECT_FALSE(model.Selection().Focus().has_value());
    EXPECT_FALSE(model.SelectDirectory(7));
    EXPECT_EQ(model.Selection().Count(), 0u);
}

TEST_F(DirListModelTest, TheActiveListTicksItsDirectoriesIgnoringCase) {
    const auto directories = Counted({1, 1, 1});
    model.FillDirectories(directories, -1);
    EXPECT_FALSE(model.CheckBoxesShown());
    model.SetChecked(0, true); // no check boxes: nothing to tick
    EXPECT_FALSE(model.IsChecked(0));

    CMVRDirListInfo list;
    list.paths = {"/K/Dir2/", "/k/gone/", "/k/dir0/"};
    model.ApplyActiveList(&list);
    EXPECT_TRUE(model.CheckBoxesShown());
    EXPECT_TRUE(model.IsChecked(0));
    EXPECT_FALSE(model.IsChecked(1));
    EXPECT_TRUE(model.IsChecked(2));
    model.SetChecked(1, true);
    EXPECT_TRUE(model.IsChecked(1));

    // A refill clears the marks but keeps the boxes until the list changes.
    model.FillDirectories(directories, -1);
    EXPECT_TRUE(model.CheckBoxesShown());
    EXPECT_FALSE(model.IsChecked(0));

    model.ApplyActiveList(&list);
    model.ApplyActiveList(nullptr);
    EXPECT_FALSE(model.CheckBoxesShown());
    EXPECT_FALSE(model.IsChecked(0));
    EXPECT_FALSE(model.IsChecked(2));
}

TEST_F(DirListModelTest, DropsAreRefusedOnLinkedAndOnTheCurrentDirectory) {
    std::vector<MVRKrsExportInfo> directories = Counted({1, 1, 1});
    directories[1].catalogueId = 42;
    model.FillDirectories(directories, -1);
    EXPECT_FALSE(model.RefusesDrop(0, 2));
    EXPECT_TRUE(model.RefusesDrop(1, 2)); // linked
    EXPECT_TRUE(model.RefusesDrop(2, 2)); // current
    EXPECT_FALSE(model.RefusesDrop(-1, 2));
    EXPECT_FALSE(model.RefusesDrop(3, 2));
}

TEST_F(DirListModelTest, RowsOfRecordsThatAreGoneShowNothing) {
    std::vector<MVRKrsExportInfo> directories = Counted({1, 1});
    model.FillDirectories(directories, -1);
    directories.pop_back();
    EXPECT_EQ(model.CellText(1, 0), "");
    EXPECT_TRUE(model.RefusesDrop(1, -1));
    model.SortByColumn(CExpDirListModel::kColumnDirectory);
    EXPECT_EQ(model.RowCount(), 2u);
    EXPECT_EQ(model.RowDirectory(9), -1);
}

} // namespace
} // namespace mvr
