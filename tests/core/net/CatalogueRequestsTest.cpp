// The catalogue model (request 3) and catalogue contents (request 11) against
// the reference price server, and the display rule of the catalogue tree.

#include "core/net/CatalogueRequests.h"

#include "core/net/CatalogueDisplayTree.h"
#include "core/net/IOException.h"
#include "core/net/ProcessState.h"
#include "core/net/UserRequests.h"
#include "server/TestPriceServer.h"

#include <gtest/gtest.h>

namespace mvr {
namespace {

using test::TestPriceServer;

// The small tables with a tree that holds what the display must cope with:
// an entry under a parent that is no group, a catalogue and a group without a
// name, and a 120-member catalogue.
ServerTables CatalogueTables() {
    ServerTables t = test::SmallTables();
    Catalogue large{4, "BIG", "Big list", {}};
    for (int i = 0; i < 120; ++i) {
        large.members.push_back(1001 + i % 6);
    }
    t.catalogues.push_back(large);
    t.catalogueTree.push_back({4, 20, 1, 0});        // Lists / Big list
    t.catalogueTree.push_back({3, 99, 1, 0});        // parent 99 is no group: not shown
    t.catalogueTree.push_back({9, 20, 1, 0});        // catalogue 9 has no name
    t.catalogueTree.push_back({30, kTreeTop, 0, 0}); // group 30 has no name
    t.catalogueTree.push_back({2, 30, 1, 0});
    return t;
}

CatalogueTreeItem Leaf(std::string text, std::size_t index) {
    return {std::move(text), kTreeImageCatalogue, index, {}};
}

CatalogueTreeItem Group(std::string text, std::size_t index,
                        std::vector<CatalogueTreeItem> children) {
    return {std::move(text), kTreeImageGroup, index, std::move(children)};
}

class CatalogueRequestsTest : public ::testing::Test {
protected:
    void LogIn() {
        std::string message;
        ASSERT_EQ(Login("valid1", "pw", message), 7) << message;
    }

    TestPriceServer server{CatalogueTables()};
    const RunFlag run{1};
};

TEST_F(CatalogueRequestsTest, CatalogueTreeArrivesAndDisplaysByTheRule) {
    LogIn();
    ASSERT_TRUE(LoadCatalogues(run));
    CCatalogueTables& tables = ProcessCatalogueTables();
    EXPECT_TRUE(tables.IsComplete());
    const auto tree = tables.TreeSnapshot();
    ASSERT_EQ(tree.size(), 10u);
    EXPECT_EQ(tree[1], (GRUPPENSTRUKTUR{10, 1, 1, 5}));
    EXPECT_EQ(tree[4], (GRUPPENSTRUKTUR{20, 3, 1, -1}));
    KATALOGGROUP group;
    ASSERT_TRUE(tables.LookupGroup(20, group));
    EXPECT_EQ(group.name, "Lists");
    SYMBOL catalogue;
    ASSERT_TRUE(tables.LookupCatalogue(2, catalogue));
    EXPECT_EQ(catalogue.sinCode, 2);
    EXPECT_EQ(catalogue.symbol, "REP");
    EXPECT_EQ(catalogue.name, "Repeats");
    EXPECT_EQ(catalogue.item10, 2); // the rest of the record keeps its initial values
    EXPECT_EQ(catalogue.item13, 255);

    const std::vector<CatalogueTreeItem> expected = {
        Group("Shares", 0, {Leaf("All instruments", 1), Leaf("Repeats", 2)}),
        Group("Lists", 3, {Leaf("", 4), Leaf("Big list", 5), Leaf("", 7)}),
        Group("", 8, {Leaf("Repeats", 9)}),
    };
    EXPECT_EQ(BuildCatalogueDisplayTree(), expected);
}

TEST_F(CatalogueRequestsTest, SecondDownloadOpensNoConnection) {
    LogIn();
    ASSERT_TRUE(LoadCatalogues(run));
    ASSERT_TRUE(LoadCatalogues(run));
    EXPECT_EQ(CheckAccount("valid1", "pw"), 70);
    const auto lines = server.WaitForLogLines(3);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(test::CountLines(lines, "code=3 "), 1u);
    EXPECT_EQ(test::CountLines(lines, "code=55 "), 1u);
}

TEST_F(CatalogueRequestsTest, DownloadWithoutLoginFailsAndIsTriedAgain) {
    EXPECT_FALSE(LoadCatalogues(run)); // the server does not know login number 0
    EXPECT_FALSE(ProcessCatalogueTables().IsComplete());
    LogIn();
    EXPECT_TRUE(LoadCatalogues(run));
}

TEST_F(CatalogueRequestsTest, ContentsOfALargeCatalogueInServerOrder) {
    LogIn();
    std::vector<WATCH> records;
    ASSERT_TRUE(LoadCatalogueContents(4, LoginNumber(), run, records));
    ASSERT_EQ(records.size(), 120u);
    for (std::size_t i = 0; i < records.size(); ++i) {
        EXPECT_EQ(records[i].sinCode, static_cast<std::int32_t>(1001 + i % 6)) << i;
    }
    EXPECT_EQ(records[0].symbol, "SAPX");
    EXPECT_EQ(records[0].name, "Sapex Software AG");
    EXPECT_EQ(records[4].name, "Otcana \"Quoted\", Holding");
    EXPECT_EQ(records[5].currency, "");
    // Repeats stay, and an empty catalogue is an empty list.
    records.clear();
    ASSERT_TRUE(LoadCatalogueContents(2, LoginNumber(), run, records));
    EXPECT_EQ(records.size(), 5u);
    records.clear();
    ASSERT_TRUE(LoadCatalogueContents(3, LoginNumber(), run, records));
    EXPECT_TRUE(records.empty());
}

TEST_F(CatalogueRequestsTest, ContentsForTheUpdateJobAndFailures) {
    std::vector<WATCH> records;
    // The update job sends the account check's number instead of the login number.
    const std::int32_t check = CheckAccount("valid2", "Pw 2");
    ASSERT_EQ(check, 71);
    ASSERT_TRUE(LoadCatalogueContents(1, check, run, records));
    EXPECT_EQ(records.size(), 6u);
    // An unknown catalogue is the server's database error, not an empty list.
    records.clear();
    EXPECT_FALSE(LoadCatalogueContents(77, check, run, records));
    EXPECT_TRUE(records.empty());
    // A number the server does not know ends the connection.
    EXPECT_THROW(LoadCatalogueContents(1, 12345, run, records), CIOException);
}

TEST_F(CatalogueRequestsTest, ClearedRunFlagStopsTheContentsAndLeavesTheDownloadIncomplete) {
    LogIn();
    const RunFlag stopped{0};
    std::vector<WATCH> records;
    // A request that would have to wait on the network for a cleared flag
    // gives up as interrupted.
    try {
        LoadCatalogueContents(4, LoginNumber(), stopped, records);
        ADD_FAILURE() << "a cleared run flag let the request go on";
    } catch (const CIOException& e) {
        EXPECT_EQ(e.ErrorCode(), 10004);
    }
    EXPECT_TRUE(records.empty());
    LoadCatalogues(stopped);
    EXPECT_FALSE(ProcessCatalogueTables().IsComplete());
    EXPECT_TRUE(LoadCatalogues(run));
    EXPECT_TRUE(ProcessCatalogueTables().IsComplete());
}

// The display rule on trees that no sound server sends.
class CatalogueDisplayTreeTest : public ::testing::Test {
protected:
    void SetUp() override {
        names.SetGroup({1, "One"});
        names.SetGroup({2, "Two"});
        names.SetCatalogue(7, "C7", "Seven");
    }

    static std::size_t CountItems(const std::vector<CatalogueTreeItem>& items) {
        std::size_t count = items.size();
        for (const CatalogueTreeItem& item : items) {
            count += CountItems(item.children);
        }
        return count;
    }

    CCatalogueTables names;
};

TEST_F(CatalogueDisplayTreeTest, KindsOtherThanGroupAreLeavesAndTableOrderHolds) {
    const std::vector<GRUPPENSTRUKTUR> tree = {
        {kCatalogueTreeTop, 7, 1, 0}, {kCatalogueTreeTop, 1, 0, 0}, {1, 7, 5, 0}, {7, 2, 0, 0}};
    const std::vector<CatalogueTreeItem> expected = {Leaf("Seven", 0),
                                                     Group("One", 1, {Leaf("Seven", 2)})};
    // Entry 3 hangs below catalogue 7, which has no children: not shown.
    EXPECT_EQ(BuildCatalogueDisplayTree(tree, names), expected);
}

TEST_F(CatalogueDisplayTreeTest, GroupsInsideThemselvesAreNotShownAgain) {
    const std::vector<GRUPPENSTRUKTUR> tree = {{kCatalogueTreeTop, 1, 0, 0},
                                               {1, 2, 0, 0},
                                               {2, 1, 0, 0},
                                               {1, 1, 0, 0},
                                               {2, 7, 1, 0},
                                               {kCatalogueTreeTop, kCatalogueTreeTop, 0, 0}};
    const std::vector<CatalogueTreeItem> expected = {
        Group("One", 0, {Group("Two", 1, {Leaf("Seven", 4)})}),
    };
    EXPECT_EQ(BuildCatalogueDisplayTree(tree, names), expected);
}

TEST_F(CatalogueDisplayTreeTest, DepthAndSizeAreBounded) {
    // A chain of groups far deeper than any display needs.
    std::vector<GRUPPENSTRUKTUR> chain;
    for (std::int32_t id = 1; id <= 1000; ++id) {
        chain.push_back({id == 1 ? kCatalogueTreeTop : id - 1, id, 0, 0});
    }
    const auto deep = BuildCatalogueDisplayTree(chain, names);
    EXPECT_EQ(CountItems(deep), static_cast<std::size_t>(kMaxCatalogueTreeDepth));

    // Groups listed twice under each parent double the display at every level.
    std::vector<GRUPPENSTRUKTUR> doubling;
    for (std::int32_t id = 1; id <= 40; ++id) {
        const std::int32_t parent = id == 1 ? kCatalogueTreeTop : id - 1;
        doubling.push_back({parent, id, 0, 0});
        doubling.push_back({parent, id, 0, 0});
    }
    const auto wide = BuildCatalogueDisplayTree(doubling, names);
    EXPECT_EQ(CountItems(wide), kMaxCatalogueTreeItems);
}

} // namespace
} // namespace mvr
