#include "core/platform/Bytes.h"
#include "core/platform/ByteStream.h"
#include "core/platform/TextUtil.h"

#include <gtest/gtest.h>

namespace mvr {
namespace {

TEST(BytesTest, LittleEndianFieldsAndFixedTexts) {
    std::uint8_t buf[16] = {};
    StoreLE32(buf, 0x01020304);
    EXPECT_EQ(buf[0], 0x04);
    EXPECT_EQ(buf[3], 0x01);
    EXPECT_EQ(LoadLE32(buf), 0x01020304u);
    StoreLEDouble(buf, 36526.5);
    EXPECT_EQ(LoadLEDouble(buf), 36526.5);
    StoreLEInt32(buf, -2);
    EXPECT_EQ(LoadLEInt32(buf), -2);

    std::uint8_t field[6];
    std::memset(field, 0xFF, sizeof field);
    StoreFixedText(field, sizeof field, "ABCDEFGH");
    EXPECT_EQ(std::string(reinterpret_cast<char*>(field)), "ABCDE");
    StoreFixedText(field, sizeof field, "AB");
    EXPECT_EQ(field[2], 0);
    EXPECT_EQ(field[5], 0);
    const std::uint8_t unterminated[3] = {'X', 'Y', 'Z'};
    EXPECT_EQ(LoadFixedText(unterminated, 3), "XYZ");
}

TEST(ByteStreamTest, ReaderNeverConsumesAnIncompleteField) {
    const std::uint8_t data[] = {1, 0, 0, 0, 7, 8};
    CByteReader in(data);
    std::uint32_t value = 0;
    ASSERT_TRUE(in.ReadLE32(&value));
    EXPECT_EQ(value, 1u);
    EXPECT_FALSE(in.ReadLE32(&value));
    EXPECT_EQ(in.Position(), 4u);
    std::string text;
    EXPECT_FALSE(in.ReadFixedText(3, &text));
    EXPECT_TRUE(in.ReadFixedText(2, &text));
    EXPECT_TRUE(in.AtEnd());
}

TEST(TextUtilTest, CaseRules) {
    EXPECT_TRUE(EqualsIgnoreCase("-UpdateAll", "-updateall"));
    EXPECT_FALSE(EqualsIgnoreCase("abc", "abcd"));
    EXPECT_TRUE(StartsWithIgnoreCase("Stocks Europe", "stocks"));
    EXPECT_LT(CompareIgnoreCase("abc", "ABD"), 0);
    EXPECT_EQ(ToUpperAscii("secret1"), "SECRET1");
    EXPECT_EQ(TrimBlanks("  a b \t"), "a b");
}

} // namespace
} // namespace mvr
