// The display rule of the catalogue tree on trees that no sound server sends.

#include "core/search/CatalogueDisplayTree.h"

#include <gtest/gtest.h>

namespace mvr {
namespace {

CatalogueTreeItem Leaf(std::string text, std::size_t index) {
    return {std::move(text), kTreeImageCatalogue, index, {}};
}

CatalogueTreeItem Group(std::string text, std::size_t index,
                        std::vector<CatalogueTreeItem> children) {
    return {std::move(text), kTreeImageGroup, index, std::move(children)};
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
