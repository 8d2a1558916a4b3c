#include "core/app/ButtonStates.h"
#include "core/app/ListNameRule.h"
#include "core/app/SelectionBoxes.h"
#include "core/formats/FormatCatalogue.h"
#include "support/ScriptedInteraction.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace mvr {
namespace {

using test::CScriptedInteraction;

MainWindowState OneDirectorySelected() {
    MainWindowState state;
    state.selectedDirectoryRows = 1;
    state.directoryArrayEmpty = false;
    state.accountEmpty = false;
    return state;
}

TEST(ButtonStatesTest, AFreshInstallationOffersOnlyAddingListsAndDirectories) {
    const ButtonStates buttons = ComputeButtonStates(MainWindowState{});
    ButtonStates expected;
    expected.addList = true;
    expected.addDirectory = true;
    EXPECT_EQ(buttons, expected);
}

TEST(ButtonStatesTest, OneSelectedDirectoryEnablesItsButtonsAndTheSymbolList) {
    MainWindowState state = OneDirectorySelected();
    ButtonStates buttons = ComputeButtonStates(state);
    EXPECT_TRUE(buttons.removeDirectories);
    EXPECT_TRUE(buttons.updateDirectories);
    EXPECT_TRUE(buttons.editDirectory);
    EXPECT_TRUE(buttons.symbolList);
    EXPECT_TRUE(buttons.addSymbols);
    EXPECT_TRUE(buttons.findSymbol);
    EXPECT_TRUE(buttons.updateList); // "Upd" then updates all directories
    EXPECT_FALSE(buttons.removeList);
    EXPECT_FALSE(buttons.deleteSymbols);
    EXPECT_FALSE(buttons.openSymbol);
    EXPECT_TRUE(buttons.updateAllMenu);
    EXPECT_TRUE(buttons.importMenu);

    state.currentDirectoryLinked = true;
    EXPECT_FALSE(ComputeButtonStates(state).addSymbols);
}

TEST(ButtonStatesTest, SeveralSelectedDirectoriesHideTheSymbolsButCanBeRemovedAndUpdated) {
    MainWindowState state = OneDirectorySelected();
    state.selectedDirectoryRows = 2;
    state.selectedSymbolRows = 1; // left over from the single selection
    const ButtonStates buttons = ComputeButtonStates(state);
    EXPECT_FALSE(buttons.symbolList);
    EXPECT_FALSE(buttons.editDirectory);
    EXPECT_FALSE(buttons.addSymbols);
    EXPECT_FALSE(buttons.deleteSymbols);
    EXPECT_FALSE(buttons.openSymbol);
    EXPECT_TRUE(buttons.removeDirectories);
    EXPECT_TRUE(buttons.updateDirectories);

    state.selectedDirectoryRows = 0;
    EXPECT_FALSE(ComputeButtonStates(state).removeDirectories);
    EXPECT_FALSE(ComputeButtonStates(state).updateDirectories);
}

TEST(ButtonStatesTest, SymbolButtonsFollowTheSymbolSelection) {
    MainWindowState state = OneDirectorySelected();
    state.selectedSymbolRows = 1;
    EXPECT_TRUE(ComputeButtonStates(state).deleteSymbols);
    EXPECT_TRUE(ComputeButtonStates(state).openSymbol);
    state.selectedSymbolRows = 3;
    EXPECT_TRUE(ComputeButtonStates(state).deleteSymbols);
    EXPECT_FALSE(ComputeButtonStates(state).openSymbol);
    // Symbols of a linked directory can be deleted; the next update brings them back.
    state.currentDirectoryLinked = true;
    EXPECT_TRUE(ComputeButtonStates(state).deleteSymbols);
}

TEST(ButtonStatesTest, AnActiveListCanBeRemovedAndUpdatedEvenWithoutDirectories) {
    MainWindowState state;
    state.listActive = true;
    const ButtonStates buttons = ComputeButtonStates(state);
    EXPECT_TRUE(buttons.removeList);
    EXPECT_TRUE(buttons.updateList);
    EXPECT_FALSE(buttons.findSymbol);
    EXPECT_FALSE(buttons.updateAllMenu);
}

TEST(SelectionBoxesTest, TheListsBoxStartsWithNoActiveListThenTheListsInOrder) {
    std::vector<CMVRDirListInfo> lists(2);
    lists[0].name = "Zeta";
    lists[1].name = "Alpha";
    const auto entries = ListsBoxEntries(lists);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].text, "no active List");
    EXPECT_EQ(entries[0].value, -1);
    EXPECT_EQ(entries[1].text, "Zeta");
    EXPECT_EQ(entries[1].value, 0);
    EXPECT_EQ(entries[2].text, "Alpha");
    EXPECT_EQ(entries[2].value, 1);

    EXPECT_EQ(ListOfEntry(lists, 0), nullptr);
    EXPECT_EQ(ListOfEntry(lists, 2), &lists[1]);
    EXPECT_EQ(ListOfEntry(lists, 3), nullptr);
    EXPECT_EQ(ListOfEntry(lists, -1), nullptr);
}

TEST(SelectionBoxesTest, ANewListIsFoundByItsNameButNeverAsNoActiveList) {
    std::vector<CMVRDirListInfo> lists(3);
    lists[0].name = "Stocks";
    lists[1].name = "No limits";
    lists[2].name = "Bonds";
    EXPECT_EQ(ListsBoxEntryStartingWith(lists, "bonds"), 3);
    EXPECT_EQ(ListsBoxEntryStartingWith(lists, "No"), 2);
    EXPECT_FALSE(ListsBoxEntryStartingWith(lists, "no active").has_value());
}

TEST(SelectionBoxesTest, TheFormatBoxOffersAllFormatsThenTheOfferedSequence) {
    const auto entries = FormatBoxEntries();
    std::vector<std::int32_t> values;
    for (const auto& entry : entries) {
        values.push_back(entry.value);
    }
    EXPECT_EQ(values, (std::vector<std::int32_t>{-1, 5, 15, 11, 10, 9, 4, 17, 20, 21}));
    EXPECT_EQ(entries[0].text, "all formats");
    EXPECT_EQ(entries[6].text, "MetaStock");

    EXPECT_EQ(FormatBoxEntryOf(-1), 0u);
    EXPECT_EQ(FormatBoxEntryOf(kFormatAsciiCommaLongYear), 2u);
    EXPECT_EQ(FormatBoxEntryOf(kFormatHermes), 7u);
    EXPECT_EQ(FormatBoxEntryOf(kFormatMetaStockIntraday), 8u);
    EXPECT_EQ(FormatBoxEntryOf(kFormatCompuTrac), 0u); // not in the box
    EXPECT_EQ(FormatFilterOfEntry(0), -1);
    EXPECT_EQ(FormatFilterOfEntry(6), kFormatMetaStock);
    EXPECT_EQ(FormatFilterOfEntry(9), kFormatAsciiIntraday);
    EXPECT_EQ(FormatFilterOfEntry(10), -1);
}

class ListNameRuleTest : public ::testing::Test {
protected:
    void SetUp() override {
        lists.resize(2);
        lists[0].name = "Stocks Europe";
        lists[1].name = "Bonds";
    }

    std::vector<CMVRDirListInfo> lists;
    CScriptedInteraction user;
};

TEST_F(ListNameRuleTest, AnEmptyNameDoesNothing) {
    EXPECT_FALSE(AcceptListName("", lists, user).has_value());
}

TEST_F(ListNameRuleTest, ANameThatBeginsAnExistingNameIsRefused) {
    for (const char* name : {"Stocks", "stocks europe", "BONDS", "b"}) {
        user.ExpectMessage("A list with the name already exist!");
        EXPECT_FALSE(AcceptListName(name, lists, user).has_value()) << name;
    }
}

TEST_F(ListNameRuleTest, ALongerNameThanAnExistingOneIsAccepted) {
    EXPECT_EQ(AcceptListName("Stocks Europe Small", lists, user), "Stocks Europe Small");
    EXPECT_EQ(AcceptListName("Funds", lists, user), "Funds");
    EXPECT_EQ(AcceptListName(std::string(300, 'x'), lists, user), std::string(259, 'x'));
}

} // namespace
} // namespace mvr
