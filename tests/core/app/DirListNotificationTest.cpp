#include "AppFixtures.h"
#include "core/app/ExpDirListModel.h"
#include "support/RecordingListObserver.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace mvr {
namespace {

using Calls = std::vector<std::string>;
using test::MakeIndex;
using test::Record;

// Each call records the count column from the top, then the directory
// indices of the selected rows.
class DirListNotificationTest : public ::testing::Test {
protected:
    DirListNotificationTest() {
        observer.probe = [this] {
            std::string text;
            for (std::size_t row = 0; row < model.RowCount(); ++row) {
                text += (row ? "," : "") + model.CellText(row, CExpDirListModel::kColumnSymbols);
            }
            text += " sel";
            for (const std::int32_t index : model.SelectedDirectories()) {
                text += " " + std::to_string(index);
            }
            return text;
        };
        model.SetObserver(&observer);
    }

    std::string Folder(const std::string& name) const {
        return WithTrailingSeparator(dir.File(name));
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

    test::TempDir dir;
    CExpDirListModel model;
    test::RecordingListObserver observer;
};

TEST_F(DirListNotificationTest, AFillAndASortResetTheRowsAndTheAboutCallSeesTheOld) {
    const auto directories = Counted({30, 10, 20});
    model.FillDirectories(directories, -1);
    EXPECT_EQ(observer.Take(), (Calls{"about to reset |  sel", "reset | 30,10,20 sel"}));

    model.Selection().Select(0); // directory 0, chosen in the view
    model.SortByColumn(CExpDirListModel::kColumnSymbols);
    EXPECT_EQ(observer.Take(),
              (Calls{"about to reset | 30,10,20 sel 0", "reset | 10,20,30 sel 0"}));

    model.SortByColumn(-1);
    model.SetSortState(CExpDirListModel::kColumnDirectory, false); // applied by the next fill
    EXPECT_TRUE(observer.calls.empty());

    // A fill is one reset, however it sorts inside, and clears the selection.
    model.FillDirectories(directories, -1);
    EXPECT_EQ(observer.Take(), (Calls{"about to reset | 10,20,30 sel 0", "reset | 30,10,20 sel"}));
}

TEST_F(DirListNotificationTest, NewCountsChangeOnlyTheRowsWhoseCountOrCatalogueChanged) {
    for (const char* name : {"a", "b", "c", "d"}) {
        MakeIndex(Folder(name), kFormatAsciiComma, 1);
    }
    std::vector<MVRKrsExportInfo> directories;
    for (const char* name : {"a", "b", "c", "d"}) {
        directories.push_back(Record(Folder(name), kFormatAsciiComma));
    }
    model.FillDirectories(directories, kFormatAsciiComma);
    observer.Take();

    MakeIndex(Folder("b"), kFormatAsciiComma, 4);
    MakeIndex(Folder("c"), kFormatAsciiComma, 2);
    model.RefreshCounts(directories);
    // One call for the two neighbouring rows, and it sees the new counts.
    EXPECT_EQ(observer.Take(), (Calls{"changed 1-2 | 1,4,2,1 sel"}));

    directories[3].catalogueName = "DAX";
    directories[0].catalogueName = "MDAX";
    model.RefreshCounts(directories);
    EXPECT_EQ(observer.Take(), (Calls{"changed 0-0 | 1,4,2,1 sel", "changed 3-3 | 1,4,2,1 sel"}));

    model.RefreshCounts(directories);
    EXPECT_TRUE(observer.calls.empty());
}

TEST_F(DirListNotificationTest, CheckBoxesChangeEveryRowWhenShownAndOnlyTheTickedOnesAfterwards) {
    const auto directories = Counted({1, 1, 1, 1});
    model.FillDirectories(directories, -1);
    observer.Take();
    observer.probe = [this] {
        std::string marks;
        for (std::size_t row = 0; row < model.RowCount(); ++row) {
            marks += model.IsChecked(row) ? 'x' : '.';
        }
        return std::string(model.CheckBoxesShown() ? "boxes " : "") + marks;
    };

    CMVRDirListInfo first;
    first.paths = {"/k/dir1/"};
    model.ApplyActiveList(&first);
    EXPECT_EQ(observer.Take(), (Calls{"changed 0-3 | boxes .x.."}));

    CMVRDirListInfo second;
    second.paths = {"/k/dir1/", "/k/dir3/"};
    model.ApplyActiveList(&second);
    EXPECT_EQ(observer.Take(), (Calls{"changed 3-3 | boxes .x.x"}));

    model.SetChecked(1, true); // already ticked
    model.SetChecked(9, true); // no such row
    EXPECT_TRUE(observer.calls.empty());
    model.SetChecked(0, true);
    EXPECT_EQ(observer.Take(), (Calls{"changed 0-0 | boxes xx.x"}));

    model.ApplyActiveList(nullptr);
    EXPECT_EQ(observer.Take(), (Calls{"changed 0-3 | ...."}));
    model.SetChecked(2, true); // no boxes: nothing changes
    EXPECT_TRUE(observer.calls.empty());
}

TEST_F(DirListNotificationTest, SelectingADirectoryTellsOfTheNewSelection) {
    const auto directories = Counted({5, 6, 7});
    model.FillDirectories(directories, -1);
    observer.Take();
    EXPECT_TRUE(model.SelectDirectory(2));
    EXPECT_EQ(observer.Take(), (Calls{"selection | 5,6,7 sel 2"}));
    // Not found: the selection is cleared all the same.
    EXPECT_FALSE(model.SelectDirectory(9));
    EXPECT_EQ(observer.Take(), (Calls{"selection | 5,6,7 sel"}));
}

} // namespace
} // namespace mvr
