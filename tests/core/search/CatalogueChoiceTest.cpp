#include "core/search/CatalogueChoice.h"

#include <gtest/gtest.h>

namespace mvr {
namespace {

class CatalogueChoiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        names.SetGroup({1, "Indices"});
        names.SetGroup({2, "Germany"});
        names.SetGroup({3, "Europe"});
        names.SetCatalogue(7, "DAX", "DAX 40");
        names.SetCatalogue(8, "TOP", "Top level");
    }

    CCatalogueTables names;
    // Europe / Indices / Germany / DAX 40, and a catalogue at the top.
    const std::vector<GRUPPENSTRUKTUR> tree = {
        {kCatalogueTreeTop, 3, kTreeKindGroup, 0},
        {3, 1, kTreeKindGroup, 0},
        {1, 2, kTreeKindGroup, 0},
        {2, 7, kTreeKindCatalogue, 0},
        {kCatalogueTreeTop, 8, kTreeKindCatalogue, 0},
        {2, 9, 5, 0},
    };
};

TEST_F(CatalogueChoiceTest, ACatalogueComesWithTheNamesOfItsGroups) {
    const std::vector<std::size_t> chain = {0, 1, 2, 3};
    EXPECT_EQ(ChooseCatalogue(tree, chain, names),
              (CatalogueChoice{7, "Europe/Indices/Germany/DAX 40"}));
    const std::vector<std::size_t> top = {4};
    EXPECT_EQ(ChooseCatalogue(tree, top, names), (CatalogueChoice{8, "Top level"}));
}

TEST_F(CatalogueChoiceTest, GroupsAndOtherKindsAreNotChosen) {
    for (const std::vector<std::size_t>& chain :
         std::vector<std::vector<std::size_t>>{{}, {0}, {0, 1, 2}, {0, 1, 2, 5}, {0, 1, 2, 99}}) {
        EXPECT_FALSE(ChooseCatalogue(tree, chain, names)) << chain.size();
    }
}

TEST_F(CatalogueChoiceTest, TheTextIsCutTo259Characters) {
    std::vector<GRUPPENSTRUKTUR> deep;
    std::vector<std::size_t> chain;
    for (int i = 0; i < 6; ++i) {
        names.SetGroup({100 + i, std::string(50, static_cast<char>('a' + i))});
        deep.push_back({i == 0 ? kCatalogueTreeTop : 99 + i, 100 + i, kTreeKindGroup, 0});
        chain.push_back(deep.size() - 1);
    }
    deep.push_back({105, 7, kTreeKindCatalogue, 0});
    chain.push_back(deep.size() - 1);
    const auto choice = ChooseCatalogue(deep, chain, names);
    ASSERT_TRUE(choice);
    EXPECT_EQ(choice->number, 7);
    ASSERT_EQ(choice->pathText.size(), 259u); // 6 x 51 + 6 would be 312
    EXPECT_EQ(choice->pathText.substr(0, 51), std::string(50, 'a') + "/");
}

TEST_F(CatalogueChoiceTest, ACatalogueIsFoundByItsNumber) {
    EXPECT_EQ(FindCatalogueChoice(tree, 7, names),
              (CatalogueChoice{7, "Europe/Indices/Germany/DAX 40"}));
    EXPECT_EQ(FindCatalogueChoice(tree, 8, names), (CatalogueChoice{8, "Top level"}));
    EXPECT_FALSE(FindCatalogueChoice(tree, 9, names)); // kind 5, no catalogue to choose
    EXPECT_FALSE(FindCatalogueChoice(tree, 3, names)); // a group's number
    // Under a group the tree does not hold, and in a group that holds itself.
    const std::vector<GRUPPENSTRUKTUR> orphan = {{42, 7, kTreeKindCatalogue, 0}};
    EXPECT_FALSE(FindCatalogueChoice(orphan, 7, names));
    const std::vector<GRUPPENSTRUKTUR> loop = {{1, 1, kTreeKindGroup, 0},
                                               {1, 7, kTreeKindCatalogue, 0}};
    EXPECT_FALSE(FindCatalogueChoice(loop, 7, names));
}

} // namespace
} // namespace mvr
