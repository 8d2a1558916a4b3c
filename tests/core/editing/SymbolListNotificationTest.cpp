#include "core/editing/ExpSymbolListModel.h"
#include "core/formats/ExportDirectory.h"
#include "support/ManualTickClock.h"
#include "support/RecordingListObserver.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace mvr {
namespace {

using Calls = std::vector<std::string>;

ExportSymbolInfo Symbol(const std::string& symbol, std::int32_t sinCode) {
    ExportSymbolInfo s;
    s.symbol = symbol;
    s.name = symbol + " AG";
    s.sinCode = sinCode;
    return s;
}

// Each call records the symbols of the rows from the top and the selected ones.
class SymbolListNotificationTest : public ::testing::Test {
protected:
    SymbolListNotificationTest() {
        observer.probe = [this] {
            std::string text;
            for (std::size_t row = 0; row < model.RowCount(); ++row) {
                text += model.CellText(row, CExpSymbolListModel::kColumnSymbol);
            }
            text += " sel ";
            for (const std::size_t row : model.Selection().Rows()) {
                text += model.CellText(row, CExpSymbolListModel::kColumnSymbol);
            }
            return text;
        };
        model.SetObserver(&observer);
    }

    void Append(const std::string& symbol) {
        ExportSymbolInfo s = Symbol(symbol, ++lastSinCode);
        ASSERT_TRUE(directory.AddSymbol(s));
    }

    CExportDirectory directory{kFormatAsciiComma};
    test::ManualTickClock clock;
    CExpSymbolListModel model{clock};
    test::RecordingListObserver observer;
    std::int32_t lastSinCode = 0;
};

TEST_F(SymbolListNotificationTest, ANewDirectoryAndASortResetTheRowsAndTheAboutCallSeesTheOld) {
    model.SetSortState(CExpSymbolListModel::kColumnSymbol, true);
    for (const char* symbol : {"C", "A", "B"}) {
        Append(symbol);
    }
    model.SetDirectory(&directory);
    EXPECT_EQ(observer.Take(), (Calls{"about to reset |  sel ", "reset | ABC sel "}));

    model.Selection().Select(0); // A, chosen in the view: not told back
    model.SortByColumn(CExpSymbolListModel::kColumnSymbol);
    // The sort keeps A selected at its new row.
    EXPECT_EQ(observer.Take(), (Calls{"about to reset | ABC sel A", "reset | CBA sel A"}));

    model.SortByColumn(CExpSymbolListModel::kColumnCount); // no such column
    EXPECT_TRUE(observer.calls.empty());

    // Showing the directory again clears the selection inside the reset.
    model.SetDirectory(&directory);
    EXPECT_EQ(observer.Take(), (Calls{"about to reset | CBA sel A", "reset | CBA sel "}));
}

TEST_F(SymbolListNotificationTest, EachAppendedSymbolIsOneInsertedRowAtItsSortedPlace) {
    model.SetSortState(CExpSymbolListModel::kColumnSymbol, true);
    for (const char* symbol : {"E", "A", "C"}) {
        Append(symbol);
    }
    model.SetDirectory(&directory);
    model.Selection().Select(1); // C
    observer.Take();

    Append("D");
    Append("B");
    model.SymbolsAppended();
    EXPECT_EQ(observer.Take(),
              (Calls{"about to insert 2-2 | ACE sel C", "inserted 2-2 | ACDE sel C",
                     "about to insert 1-1 | ACDE sel C", "inserted 1-1 | ABCDE sel C"}));
    EXPECT_EQ(model.Selection().Rows(), (std::vector<std::size_t>{2}));
    EXPECT_EQ(model.RowToSymbol(1), 4); // B, the last of the array

    // Nothing appended: nothing told.
    model.SymbolsAppended();
    EXPECT_TRUE(observer.calls.empty());
}

TEST_F(SymbolListNotificationTest, AppendedSymbolsGoToTheEndOfAnUnsortedAndIntoADescendingList) {
    Append("B");
    Append("A");
    model.SetDirectory(&directory);
    observer.Take();
    Append("C");
    model.SymbolsAppended();
    EXPECT_EQ(observer.Take(), (Calls{"about to insert 2-2 | BA sel ", "inserted 2-2 | BAC sel "}));

    model.SetSortState(CExpSymbolListModel::kColumnSymbol, false);
    model.SetDirectory(&directory);
    observer.Take();
    Append("BB");
    model.SymbolsAppended();
    EXPECT_EQ(observer.Take(),
              (Calls{"about to insert 1-1 | CBA sel ", "inserted 1-1 | CBBBA sel "}));
}

TEST_F(SymbolListNotificationTest, AnArrayThatShrankIsShownAgainAsAReset) {
    for (const char* symbol : {"A", "B", "C"}) {
        Append(symbol);
    }
    model.SetDirectory(&directory);
    model.Selection().Select(2);
    observer.Take();
    directory.Symbols().erase(directory.Symbols().begin());
    observer.probe = [this] {
        return std::to_string(model.RowCount()) + " rows, " +
               std::to_string(model.GetSelectedCount()) + " selected";
    };
    model.SymbolsAppended();
    EXPECT_EQ(observer.Take(),
              (Calls{"about to reset | 3 rows, 1 selected", "reset | 2 rows, 0 selected"}));
}

TEST_F(SymbolListNotificationTest, SelectionsTheModelMakesItselfAreTold) {
    for (const char* symbol : {"SAP", "SIE", "BMW"}) {
        Append(symbol);
    }
    model.SetDirectory(&directory);
    observer.Take();

    model.SelectMatching("");
    model.ClearSelection(); // nothing selected, nothing to tell
    EXPECT_TRUE(observer.calls.empty());

    model.SelectMatching("sie");
    EXPECT_EQ(observer.Take(), (Calls{"selection | SAPSIEBMW sel SIE"}));

    // An unsorted list passes typed characters on and keeps its selection.
    EXPECT_FALSE(model.TypeAhead('b', false).taken);
    EXPECT_TRUE(observer.calls.empty());
    model.SortByColumn(CExpSymbolListModel::kColumnSymbol);
    observer.Take();
    EXPECT_TRUE(model.TypeAhead('b', false).taken);
    EXPECT_EQ(observer.Take(), (Calls{"selection | BMWSAPSIE sel BMW"}));

    model.ClearSelection();
    EXPECT_EQ(observer.Take(), (Calls{"selection | BMWSAPSIE sel "}));
}

} // namespace
} // namespace mvr
