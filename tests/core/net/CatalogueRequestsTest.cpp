// The catalogue model (request 3) and catalogue contents (request 11) against
// the reference price server, and the display rule of the catalogue tree.

#include "core/net/CatalogueRequests.h"

#include "core/net/IOException.h"
#include "core/net/ProcessState.h"
#include "core/net/UserRequests.h"
#include "core/search/CatalogueDisplayTree.h"
#include "server/TestPriceServer.h"
#include "support/Running.h"

#include "ScriptedPeer.h"

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
        ASSERT_EQ(Login("valid1", "pw", message, test::Running()), 7) << message;
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
    EXPECT_EQ(CheckAccount("valid1", "pw", test::Running()), 70);
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
    const std::int32_t check = CheckAccount("valid2", "Pw 2", test::Running());
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

// A connection that breaks off after a section that ended well has still
// not brought the model: the download fails and is tried again next time.
TEST(CatalogueDownloadTest, BreakAfterTheTreeSectionIsAFailedDownload) {
    ResetProcessStateForTesting();
    test::ScriptedPeer peer([](CClientRequest& far, CWinSocket&) {
        far.readRequestHeader();
        far.writeByte(1);
        far.Out().writeLong(10);
        far.Out().writeLong(kCatalogueTreeTop);
        far.Out().writeByte(kTreeKindGroup);
        far.Out().writeLong(0);
        far.writeBlock();
        far.writeEndOfSection(0);
    });
    peer.BecomeServer();
    EXPECT_FALSE(LoadCatalogues(test::Running()));
    peer.Join();
    EXPECT_FALSE(ProcessCatalogueTables().IsComplete());
    ResetProcessStateForTesting();
}

} // namespace
} // namespace mvr
