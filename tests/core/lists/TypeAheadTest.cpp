#include "core/lists/TypeAhead.h"

#include "support/ManualTickClock.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace mvr {
namespace {

using test::ManualTickClock;

class TypeAheadTest : public ::testing::Test {
protected:
    // Keys in the order the list shows them.
    TypeAheadRows Rows(const std::vector<std::string>& keys, bool descending = false) {
        keys_ = keys;
        TypeAheadRows rows;
        rows.sorted = true;
        rows.descending = descending;
        rows.count = keys_.size();
        rows.compare = [this](std::size_t row, std::string_view text) {
            return ComparePrefixIgnoreCase(keys_[row], text);
        };
        return rows;
    }

    std::optional<std::size_t> Type(const std::string& text, const TypeAheadRows& rows) {
        std::optional<std::size_t> row;
        for (const char c : text) {
            const TypeAheadResult result = typeAhead.Type(c, false, rows);
            EXPECT_TRUE(result.taken) << "character " << c;
            row = result.row;
        }
        return row;
    }

    std::vector<std::string> keys_;
    ManualTickClock clock;
    CTypeAhead typeAhead{clock};
};

TEST(ComparePrefixTest, ComparesOnlyOverThePrefixIgnoringCase) {
    EXPECT_EQ(ComparePrefixIgnoreCase("Abbott", "ab"), 0);
    EXPECT_LT(ComparePrefixIgnoreCase("Aaron", "ab"), 0);
    EXPECT_GT(ComparePrefixIgnoreCase("Ace", "ab"), 0);
    EXPECT_LT(ComparePrefixIgnoreCase("a", "ab"), 0); // shorter than the prefix
    EXPECT_EQ(ComparePrefixIgnoreCase("anything", ""), 0);
}

TEST_F(TypeAheadTest, TwoLettersWithinASecondFindTheFirstRowAtOrAfterThePrefix) {
    const auto rows = Rows({"Aaron", "ABB Ltd", "abc Corp", "Bayer"});
    EXPECT_EQ(Type("a", rows), 0u);
    clock.Advance(999);
    EXPECT_EQ(Type("b", rows), 1u);
    EXPECT_EQ(typeAhead.Text(), "ab");

    // No key begins with the prefix: the first key after it.
    const auto after = Rows({"Aaron", "Ac", "Bayer"});
    typeAhead.Reset();
    EXPECT_EQ(Type("ab", after), 1u);
}

TEST_F(TypeAheadTest, APauseOfMoreThanASecondStartsAgainAtTheTop) {
    const auto rows = Rows({"Aaron", "ABB", "Bayer", "BMW"});
    EXPECT_EQ(Type("a", rows), 0u);
    clock.Advance(1500);
    EXPECT_EQ(Type("b", rows), 2u);
    EXPECT_EQ(typeAhead.Text(), "b");

    // Exactly one second is no pause yet.
    clock.Advance(1000);
    EXPECT_EQ(Type("m", rows), 3u);
    EXPECT_EQ(typeAhead.Text(), "bm");
}

TEST_F(TypeAheadTest, NoQualifyingRowSelectsNothingAndLeavesThePositionAtTheEnd) {
    const auto rows = Rows({"Aaron", "Bayer"});
    const TypeAheadResult result = typeAhead.Type('z', false, rows);
    EXPECT_TRUE(result.taken);
    EXPECT_FALSE(result.row.has_value());
    EXPECT_EQ(typeAhead.Position(), 2u);
}

TEST_F(TypeAheadTest, DescendingOrderStopsAtTheFirstRowAtOrBeforeThePrefix) {
    const auto rows = Rows({"Siemens", "Nokia", "BMW", "Adidas"}, true);
    EXPECT_EQ(Type("n", rows), 1u);
    typeAhead.Reset();
    EXPECT_EQ(Type("c", rows), 2u); // "BMW" is the first key below "c"
}

TEST_F(TypeAheadTest, TheThirtyFirstCharacterIsPassedOnUntilAPause) {
    const auto rows = Rows({std::string(40, 'x')});
    EXPECT_EQ(Type(std::string(30, 'x'), rows), 0u);
    const TypeAheadResult extra = typeAhead.Type('x', false, rows);
    EXPECT_FALSE(extra.taken);
    EXPECT_EQ(typeAhead.Text().size(), 30u);

    clock.Advance(1001);
    EXPECT_EQ(Type("x", rows), 0u);
    EXPECT_EQ(typeAhead.Text(), "x");
}

TEST_F(TypeAheadTest, CommandKeysControlCharactersCtrlAndUnsortedListsArePassedOn) {
    auto rows = Rows({"Aaron"});
    for (const char c : {'\r', '\t', '#', '+', '-', '\b', '\x1b'}) {
        EXPECT_FALSE(typeAhead.Type(c, false, rows).taken) << int{c};
    }
    EXPECT_FALSE(typeAhead.Type('a', true, rows).taken);
    rows.sorted = false;
    EXPECT_FALSE(typeAhead.Type('a', false, rows).taken);
    EXPECT_TRUE(typeAhead.Text().empty());
}

TEST_F(TypeAheadTest, AColumnWithoutTextKeyStopsAtThePosition) {
    TypeAheadRows rows;
    rows.sorted = true;
    rows.count = 3;
    EXPECT_EQ(Type("7", rows), 0u);
    EXPECT_EQ(Type("q", rows), 0u);
}

TEST_F(TypeAheadTest, AWrappedTickCountIsNoPause) {
    ManualTickClock wrapping{0xFFFFFF00u};
    CTypeAhead nearWrap{wrapping};
    const auto rows = Rows({"Aaron", "ABB", "Bayer"});
    nearWrap.Type('a', false, rows);
    wrapping.Advance(0x200); // past 2^32, 512 ms later
    EXPECT_EQ(nearWrap.Type('b', false, rows).row, 1u);
    EXPECT_EQ(nearWrap.Text(), "ab");
}

} // namespace
} // namespace mvr
