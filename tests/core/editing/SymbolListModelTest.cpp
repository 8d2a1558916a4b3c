#include "core/editing/ExpSymbolListModel.h"
#include "core/formats/DayNumber.h"
#include "core/formats/ExportDirectory.h"
#include "support/LongSymbolFolder.h"
#include "support/ManualTickClock.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace mvr {
namespace {

using test::ManualTickClock;

double OleDay(int d, int m, int y) {
    return DayNumberToPlainOleDate(
        DatumToDayNumber(DATUM{static_cast<std::uint8_t>(d), static_cast<std::uint8_t>(m),
                               static_cast<std::uint16_t>(y)}));
}

ExportSymbolInfo Symbol(const std::string& symbol, const std::string& name, double first = 0.0,
                        double last = 0.0) {
    ExportSymbolInfo s;
    s.symbol = symbol;
    s.name = name;
    s.firstDate = first;
    s.lastDate = last;
    return s;
}

class SymbolListModelTest : public ::testing::Test {
protected:
    void Show(std::vector<ExportSymbolInfo> symbols) {
        directory.Symbols() = std::move(symbols);
        model.SetDirectory(&directory);
    }

    // The column's texts from the top row down.
    std::vector<std::string> Column(int column) const {
        std::vector<std::string> texts;
        for (std::size_t row = 0; row < model.RowCount(); ++row) {
            texts.push_back(model.CellText(row, column));
        }
        return texts;
    }

    std::vector<std::string> SelectedSymbols() const {
        std::vector<std::string> symbols;
        for (const std::size_t row : model.Selection().Rows()) {
            symbols.push_back(model.CellText(row, CExpSymbolListModel::kColumnSymbol));
        }
        return symbols;
    }

    std::optional<std::size_t> Type(const std::string& text) {
        std::optional<std::size_t> row;
        for (const char c : text) {
            row = model.TypeAhead(c, false).row;
        }
        return row;
    }

    CExportDirectory directory{kFormatAsciiComma};
    ManualTickClock clock;
    CExpSymbolListModel model{clock};
};

TEST_F(SymbolListModelTest, ColumnsAreNameSymbolFromTo) {
    const auto columns = CExpSymbolListModel::Columns();
    ASSERT_EQ(columns.size(), 4u);
    EXPECT_STREQ(columns[0].title, "Name");
    EXPECT_EQ(columns[0].width, 200);
    EXPECT_STREQ(columns[1].title, "Symbol");
    EXPECT_STREQ(columns[2].title, "From");
    EXPECT_STREQ(columns[3].title, "To");
    EXPECT_EQ(columns[3].width, 80);
}

TEST_F(SymbolListModelTest, ANewListIsUnsortedAndPassesTypedCharactersOn) {
    Show({Symbol("SIE", "Siemens"), Symbol("ADS", "Adidas"), Symbol("BMW", "BMW")});
    EXPECT_EQ(model.SortColumn(), CExpSymbolListModel::kUnsorted);
    EXPECT_EQ(Column(1), (std::vector<std::string>{"SIE", "ADS", "BMW"}));
    EXPECT_FALSE(model.TypeAhead('a', false).taken);
    EXPECT_EQ(model.GetSelectedCount(), 0u);
}

TEST_F(SymbolListModelTest, CellTextsShowNamesSymbolsAndDayMonthYearDates) {
    Show({Symbol("SAP", "SAP SE", 38418.0, 0.0),
          Symbol("X", "Intraday", OleDay(1, 2, 2024) + 0.75, OleDay(31, 12, 1899))});
    EXPECT_EQ(model.CellText(0, 0), "SAP SE");
    EXPECT_EQ(model.CellText(0, 1), "SAP");
    EXPECT_EQ(model.CellText(0, 2), "07/03/2005");
    EXPECT_EQ(model.CellText(0, 3), "");
    EXPECT_EQ(model.CellText(1, 2), "01/02/2024"); // the time of day is not shown
    EXPECT_EQ(model.CellText(1, 3), "31/12/1899");
    EXPECT_EQ(model.CellText(2, 0), ""); // no such row
    EXPECT_EQ(model.CellText(0, 4), ""); // no such column
}

TEST_F(SymbolListModelTest, DatesOutsideTheCalendarShowNothing) {
    Show({Symbol("BAD", "Damaged", 1e12, -1e12)});
    EXPECT_EQ(model.CellText(0, 2), "");
    EXPECT_EQ(model.CellText(0, 3), "");
}

TEST_F(SymbolListModelTest, HeaderClicksSortAscendingThenDescendingAndKeepTheDirection) {
    Show({Symbol("b", "bmw"), Symbol("A", "Siemens"), Symbol("C", "adidas")});
    model.SortByColumn(CExpSymbolListModel::kColumnName);
    EXPECT_TRUE(model.IsAscending());
    EXPECT_EQ(Column(0), (std::vector<std::string>{"adidas", "bmw", "Siemens"}));
    model.SortByColumn(CExpSymbolListModel::kColumnName);
    EXPECT_FALSE(model.IsAscending());
    EXPECT_EQ(Column(0), (std::vector<std::string>{"Siemens", "bmw", "adidas"}));
    // Another column keeps the direction.
    model.SortByColumn(CExpSymbolListModel::kColumnSymbol);
    EXPECT_EQ(model.SortColumn(), CExpSymbolListModel::kColumnSymbol);
    EXPECT_FALSE(model.IsAscending());
    EXPECT_EQ(Column(1), (std::vector<std::string>{"C", "b", "A"}));
    // RowToSymbol maps back into the directory's array.
    EXPECT_EQ(model.RowToSymbol(0), 2);
    EXPECT_EQ(model.RowToSymbol(2), 1);
    EXPECT_EQ(model.RowToSymbol(3), -1);
    EXPECT_EQ(model.RowToSymbol(-1), -1);
}

// Health results arrive from another thread some time after the list showed
// a directory: they follow the symbols through a sort, and results meant for
// an earlier directory never mark the one shown now.
TEST_F(SymbolListModelTest, HealthMarksBelongToTheirSymbolsAndTheirGeneration) {
    Show({Symbol("B", "b"), Symbol("A", "a")});
    const std::uint64_t first = model.Generation();
    EXPECT_EQ(model.HealthOfRow(0), nullptr);
    std::vector<SymbolHealth> health(2);
    health[0].state = SymbolHealthState::Findings; // symbol B
    model.SetHealth(first, health);
    model.SortByColumn(CExpSymbolListModel::kColumnSymbol); // A, B
    EXPECT_EQ(model.Generation(), first);
    ASSERT_NE(model.HealthOfRow(1), nullptr);
    EXPECT_EQ(model.HealthOfRow(1)->state, SymbolHealthState::Findings);
    EXPECT_EQ(model.HealthOfRow(0)->state, SymbolHealthState::NoData);
    EXPECT_EQ(model.HealthOfRow(2), nullptr);

    Show({Symbol("C", "c"), Symbol("D", "d")});
    EXPECT_NE(model.Generation(), first);
    EXPECT_EQ(model.HealthOfRow(0), nullptr);
    model.SetHealth(first, health); // a late answer for the earlier directory
    EXPECT_EQ(model.HealthOfRow(0), nullptr);
}

TEST_F(SymbolListModelTest, SelectedSymbolsStaySelectedAtTheirNewRows) {
    Show({Symbol("D", "d"), Symbol("A", "a"), Symbol("C", "c"), Symbol("B", "b")});
    model.Selection().Select(0); // D
    model.Selection().Select(2); // C
    model.SetSortState(CExpSymbolListModel::kUnsorted, true);
    model.SortByColumn(CExpSymbolListModel::kColumnSymbol);
    EXPECT_EQ(model.Selection().Rows(), (std::vector<std::size_t>{2, 3}));
    EXPECT_EQ(SelectedSymbols(), (std::vector<std::string>{"C", "D"}));
    EXPECT_FALSE(model.Selection().Focus().has_value());
}

TEST_F(SymbolListModelTest, SetDirectoryClearsTheSelectionAndSortsInTheCurrentDirection) {
    model.SetSortState(CExpSymbolListModel::kColumnSymbol, false);
    Show({Symbol("A", "a"), Symbol("C", "c"), Symbol("B", "b")});
    EXPECT_EQ(Column(1), (std::vector<std::string>{"C", "B", "A"}));
    EXPECT_FALSE(model.IsAscending());
    model.Selection().Select(1);

    directory.Symbols().push_back(Symbol("D", "d"));
    model.SetDirectory(&directory);
    EXPECT_EQ(model.RowCount(), 4u);
    EXPECT_EQ(model.GetSelectedCount(), 0u);
    EXPECT_EQ(Column(1), (std::vector<std::string>{"D", "C", "B", "A"}));

    model.SetDirectory(nullptr);
    EXPECT_EQ(model.RowCount(), 0u);
}

TEST_F(SymbolListModelTest, DatesSortByWholeDays) {
    const double day = OleDay(10, 5, 2020);
    Show({Symbol("LATE", "", day + 0.5), Symbol("NEXT", "", day + 2.0), Symbol("EARLY", "", day),
          Symbol("NONE", "", 0.0)});
    model.SetSortState(CExpSymbolListModel::kUnsorted, true);
    model.SortByColumn(CExpSymbolListModel::kColumnFrom);
    // LATE and EARLY are less than a day apart: equal, kept in array order.
    EXPECT_EQ(Column(1), (std::vector<std::string>{"NONE", "LATE", "EARLY", "NEXT"}));
}

TEST_F(SymbolListModelTest, ASymbolRemovedBehindTheModelsBackShowsAnEmptyRow) {
    Show({Symbol("A", "a"), Symbol("B", "b")});
    directory.Symbols().pop_back();
    EXPECT_EQ(model.CellText(1, 0), "");
    model.SortByColumn(CExpSymbolListModel::kColumnName); // must not reach beyond the array
    EXPECT_EQ(model.RowCount(), 2u);
}

TEST_F(SymbolListModelTest, TypeAheadSelectsAndFocusesTheFoundRowOnly) {
    model.SetSortState(CExpSymbolListModel::kColumnName, true);
    Show({Symbol("X1", "Bayer"), Symbol("X2", "ABB"), Symbol("X3", "Abacus"),
          Symbol("X4", "Aaron")});
    model.Selection().Select(0);
    EXPECT_EQ(Type("a"), 0u);
    clock.Advance(400);
    EXPECT_EQ(Type("b"), 1u);
    EXPECT_EQ(model.CellText(1, 0), "Abacus");
    EXPECT_EQ(model.Selection().Rows(), (std::vector<std::size_t>{1}));
    EXPECT_EQ(model.Selection().Focus(), 1u);

    // 1.5 seconds later the b is a prefix of its own, searched from the top.
    clock.Advance(1500);
    EXPECT_EQ(Type("b"), 3u);
    EXPECT_EQ(model.CellText(3, 0), "Bayer");

    // Nothing at or after the prefix: no row stays selected.
    clock.Advance(1500);
    EXPECT_FALSE(Type("z").has_value());
    EXPECT_EQ(model.GetSelectedCount(), 0u);
}

TEST_F(SymbolListModelTest, TypeAheadOnASymbolColumnInDescendingOrder) {
    model.SetSortState(CExpSymbolListModel::kColumnSymbol, false);
    Show({Symbol("ALV", ""), Symbol("SAP", ""), Symbol("BAS", ""), Symbol("SIE", "")});
    // Shown SIE, SAP, BAS, ALV; "sa" stops at the first symbol at or below it.
    EXPECT_EQ(Type("sa"), 1u);
    EXPECT_EQ(model.CellText(1, 1), "SAP");
}

TEST_F(SymbolListModelTest, TypeAheadOnADateColumnSelectsTheRowAtThePosition) {
    model.SetSortState(CExpSymbolListModel::kColumnFrom, true);
    Show({Symbol("A", "", 2.0), Symbol("B", "", 1.0), Symbol("C", "", 3.0)});
    EXPECT_EQ(Type("q"), 0u);
    EXPECT_EQ(Type("z"), 0u);
    EXPECT_EQ(model.Selection().Rows(), (std::vector<std::size_t>{0}));
}

TEST_F(SymbolListModelTest, SelectMatchingTakesEqualSymbolsAndNamesContainingTheText) {
    Show({Symbol("SAP", "SAP SE"), Symbol("WSB", "Wasabi Sapphire"), Symbol("SAPX", "Other"),
          Symbol("BMW", "BMW AG"), Symbol("sap", "lower symbol")});
    model.Selection().Select(3);
    model.Selection().SetFocus(3);
    EXPECT_FALSE(model.SelectMatching("sap").has_value()); // several rows: no scrolling
    EXPECT_EQ(SelectedSymbols(), (std::vector<std::string>{"SAP", "WSB", "sap"}));
    EXPECT_FALSE(model.Selection().Focus().has_value());

    EXPECT_EQ(model.SelectMatching("bmw ag"), 3u);
    EXPECT_EQ(SelectedSymbols(), (std::vector<std::string>{"BMW"}));

    EXPECT_FALSE(model.SelectMatching("").has_value());
    EXPECT_EQ(SelectedSymbols(), (std::vector<std::string>{"BMW"})); // unchanged

    EXPECT_FALSE(model.SelectMatching("nothing").has_value());
    EXPECT_EQ(model.GetSelectedCount(), 0u);
}

// A MetaStock folder of another program whose symbols are longer than the
// symbol field: shown, sorted, typed and matched by their full text.
TEST_F(SymbolListModelTest, LongSymbolsOfAForeignFolderShowAndMatchInFull) {
    test::TempDir dir;
    test::WriteLongSymbolFolder(dir.Path());
    CExportDirectory foreign;
    ASSERT_TRUE(foreign.Open(dir.Path(), kFormatMetaStock));
    model.SetSortState(CExpSymbolListModel::kColumnSymbol, false);
    model.SetDirectory(&foreign);
    EXPECT_EQ(Column(CExpSymbolListModel::kColumnSymbol),
              (std::vector<std::string>{"NORDICSEMI.OSLO", "NORDICSEMI.OL", "NHY", "BIOTEC.OS",
                                        "BIOTEC.OL"}));
    EXPECT_EQ(Type("biotec.ol"), 4u);

    EXPECT_EQ(model.SelectMatching("BIOTEC.OS"), 3u);
    EXPECT_EQ(SelectedSymbols(), (std::vector<std::string>{"BIOTEC.OS"}));
    EXPECT_EQ(model.SelectMatching("nordicsemi.oslo"), 0u);
    // The shared first 8 characters are no symbol of the folder.
    EXPECT_FALSE(model.SelectMatching("biotec.o").has_value());
    EXPECT_EQ(model.GetSelectedCount(), 0u);
}

} // namespace
} // namespace mvr
