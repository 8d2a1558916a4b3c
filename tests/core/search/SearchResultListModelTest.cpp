// The result list of the symbol search: cell texts, sorting and type-ahead.

#include "core/search/SearchResultListModel.h"

#include "core/net/InstrumentRecord.h"
#include "core/net/ReferenceTables.h"
#include "support/ManualTickClock.h"
#include "support/RecordingListObserver.h"

#include <gtest/gtest.h>

namespace mvr {
namespace {

WATCH Result(const std::string& name, const std::string& symbol, std::uint16_t exchange,
             std::uint16_t securityType, const std::string& currency = "EUR") {
    WATCH record;
    record.name = name;
    record.symbol = symbol;
    record.exchange = exchange;
    record.securityType = securityType;
    record.currency = currency;
    record.isin = "DE" + symbol;
    return record;
}

class SearchResultListModelTest : public ::testing::Test {
protected:
    SearchResultListModelTest() {
        // Names in the opposite order of their numbers.
        tables.exchanges[1] = BOERSE{1, "Zurich", false};
        tables.exchanges[2] = BOERSE{2, "Amsterdam", false};
        tables.securityTypes[4] = WPART{4, "Shares"};
        results = {Result("sapex software", "SAPX", 2, 4), Result("Applex", "aplx", 1, 4),
                   Result("Bund", "BUND30", 9, 7, "usd"), Result("Sapy Systems", "SAPY", 1, 4),
                   Result("Otcana", "OTCA", 2, 4)};
        list.SetResults(&results);
    }

    std::vector<std::string> Column(int column) const {
        std::vector<std::string> texts;
        for (std::size_t row = 0; row < list.RowCount(); ++row) {
            texts.push_back(list.CellText(row, column));
        }
        return texts;
    }

    ReferenceTables tables;
    test::ManualTickClock clock;
    std::vector<WATCH> results;
    CSearchResultListModel list{tables, clock};
};

TEST_F(SearchResultListModelTest, CellTextsNameExchangeAndTypeAndLeaveUnknownNumbersEmpty) {
    EXPECT_EQ(list.SortColumn(), CSearchResultListModel::kUnsorted);
    EXPECT_EQ(list.CellText(0, 0), "sapex software");
    EXPECT_EQ(list.CellText(0, 1), "SAPX");
    EXPECT_EQ(list.CellText(0, 2), "Amsterdam");
    EXPECT_EQ(list.CellText(0, 3), "Shares");
    EXPECT_EQ(list.CellText(0, 4), "EUR");
    EXPECT_EQ(list.CellText(0, 5), "DESAPX");
    EXPECT_EQ(list.CellText(2, 2), "");
    EXPECT_EQ(list.CellText(2, 3), "");
    EXPECT_EQ(list.CellText(9, 0), "");
    ASSERT_EQ(CSearchResultListModel::Columns().size(), 6u);
    EXPECT_STREQ(CSearchResultListModel::Columns()[3].title, "Sec. Type");
}

TEST_F(SearchResultListModelTest, ExchangesSortByNumberNotByName) {
    list.SortByColumn(CSearchResultListModel::kColumnExchange);
    EXPECT_EQ(Column(2),
              (std::vector<std::string>{"Zurich", "Zurich", "Amsterdam", "Amsterdam", ""}));
    // Equal numbers keep their arrival order.
    EXPECT_EQ(Column(1), (std::vector<std::string>{"aplx", "SAPY", "SAPX", "OTCA", "BUND30"}));
    list.SortByColumn(CSearchResultListModel::kColumnExchange);
    EXPECT_FALSE(list.IsAscending());
    EXPECT_EQ(Column(1).front(), "BUND30");
}

TEST_F(SearchResultListModelTest, TextColumnsSortWithoutRegardToCaseAndKeepTheDirection) {
    list.SortByColumn(CSearchResultListModel::kColumnName);
    EXPECT_EQ(Column(0), (std::vector<std::string>{"Applex", "Bund", "Otcana", "sapex software",
                                                   "Sapy Systems"}));
    list.SortByColumn(CSearchResultListModel::kColumnName); // descending
    list.SortByColumn(CSearchResultListModel::kColumnSymbol);
    EXPECT_FALSE(list.IsAscending());
    EXPECT_EQ(Column(1), (std::vector<std::string>{"SAPY", "SAPX", "OTCA", "BUND30", "aplx"}));
    list.SortByColumn(CSearchResultListModel::kColumnCurrency);
    EXPECT_EQ(Column(4).front(), "usd");
}

TEST_F(SearchResultListModelTest, SelectedRecordsFollowTheSortAndComeInRowOrder) {
    list.Selection().Select(0); // sapex
    list.Selection().Select(1); // Applex
    list.SortByColumn(CSearchResultListModel::kColumnName);
    EXPECT_EQ(list.Selection().Rows(), (std::vector<std::size_t>{0, 3}));
    const std::vector<WATCH> chosen = list.SelectedRecords();
    ASSERT_EQ(chosen.size(), 2u);
    EXPECT_EQ(chosen[0].name, "Applex");
    EXPECT_EQ(chosen[1].name, "sapex software");
    // New results drop the selection and are sorted at once.
    results.push_back(Result("Aardvark", "AARD", 1, 4));
    list.SetResults(&results);
    EXPECT_EQ(list.Selection().Count(), 0u);
    EXPECT_EQ(list.CellText(0, 0), "Aardvark");
}

TEST_F(SearchResultListModelTest, TypingWithinASecondNarrowsAndAPauseStartsAgain) {
    // Unsorted: the list's own handling gets the character.
    EXPECT_FALSE(list.TypeAhead('s', false).taken);
    list.SortByColumn(CSearchResultListModel::kColumnName);
    auto result = list.TypeAhead('s', false);
    ASSERT_TRUE(result.taken);
    EXPECT_EQ(result.row, 3u); // sapex software
    clock.Advance(900);
    result = list.TypeAhead('a', false);
    EXPECT_EQ(result.row, 3u);
    clock.Advance(900);
    result = list.TypeAhead('p', false);
    EXPECT_EQ(result.row, 3u);
    clock.Advance(900);
    result = list.TypeAhead('y', false);
    EXPECT_EQ(result.row, 4u); // "sapy" is at or after "Sapy Systems"
    EXPECT_EQ(list.Selection().Rows(), std::vector<std::size_t>{4});
    EXPECT_EQ(list.Selection().Focus(), 4u);

    clock.Advance(1001);
    result = list.TypeAhead('b', false);
    EXPECT_EQ(result.row, 1u); // Bund, searched from the top again
    clock.Advance(10);
    result = list.TypeAhead('z', false);
    EXPECT_EQ(result.row, 2u); // Otcana is the first at or after "bz"
    clock.Advance(2000);
    list.TypeAhead('z', false);
    result = list.TypeAhead('z', false);
    EXPECT_TRUE(result.taken);
    EXPECT_EQ(result.row, std::nullopt); // nothing reaches "zz"
    EXPECT_FALSE(list.TypeAhead('c', true).taken);
    EXPECT_FALSE(list.TypeAhead('+', false).taken);
}

TEST_F(SearchResultListModelTest, TypeAheadOnAColumnWithoutTextKeyTakesTheFirstRow) {
    list.SortByColumn(CSearchResultListModel::kColumnExchange);
    const auto result = list.TypeAhead('x', false);
    ASSERT_TRUE(result.taken);
    EXPECT_EQ(result.row, 0u);
}

// Each call records the symbols from the top and the selected ones.
TEST_F(SearchResultListModelTest, NewResultsAndSortsResetTheRowsAndTheAboutCallSeesTheOld) {
    test::RecordingListObserver observer;
    observer.probe = [this] {
        std::string text;
        for (std::size_t row = 0; row < list.RowCount(); ++row) {
            text += list.CellText(row, CSearchResultListModel::kColumnSymbol) + " ";
        }
        text += "sel";
        for (const WATCH& record : list.SelectedRecords()) {
            text += " " + record.symbol;
        }
        return text;
    };
    list.SetObserver(&observer);

    list.Selection().Select(1); // aplx, chosen in the view
    list.SortByColumn(CSearchResultListModel::kColumnSymbol);
    EXPECT_EQ(observer.Take(),
              (std::vector<std::string>{"about to reset | SAPX aplx BUND30 SAPY OTCA sel aplx",
                                        "reset | aplx BUND30 OTCA SAPX SAPY sel aplx"}));
    list.SortByColumn(CSearchResultListModel::kUnsorted); // no header to click
    EXPECT_TRUE(observer.calls.empty());

    EXPECT_TRUE(list.TypeAhead('s', false).taken);
    EXPECT_EQ(observer.Take(),
              (std::vector<std::string>{"selection | aplx BUND30 OTCA SAPX SAPY sel SAPX"}));

    std::vector<WATCH> fewer{Result("Bund", "BUND10", 9, 7)};
    list.SetResults(&fewer);
    EXPECT_EQ(observer.Take(),
              (std::vector<std::string>{"about to reset | aplx BUND30 OTCA SAPX SAPY sel SAPX",
                                        "reset | BUND10 sel"}));
    list.SetResults(nullptr);
    EXPECT_EQ(observer.Take(),
              (std::vector<std::string>{"about to reset | BUND10 sel", "reset | sel"}));
}

} // namespace
} // namespace mvr
