#include "core/formats/LineMemFile.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace mvr {
namespace {

std::vector<std::string> AllLines(const std::string& text, std::vector<bool>* cut = nullptr) {
    CLineMemFile file(std::span<const std::uint8_t>(
        reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    std::vector<std::string> lines;
    std::string_view line;
    while (file.ReadLine(line)) {
        lines.push_back(std::string(line));
        if (cut != nullptr) {
            cut->push_back(file.LastLineWasCut());
        }
    }
    return lines;
}

TEST(LineMemFileTest, LinesComeWithoutTheirLineEnds) {
    EXPECT_EQ(AllLines("A\r\nB\n"), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(AllLines(""), std::vector<std::string>{});
    EXPECT_EQ(AllLines("\n\r\n"), (std::vector<std::string>{"", ""}));
    // A carriage return elsewhere stays in the line.
    EXPECT_EQ(AllLines("a\rb\n"), (std::vector<std::string>{"a\rb"}));
    EXPECT_EQ(AllLines("a\r\r\n"), (std::vector<std::string>{"a\r"}));
}

TEST(LineMemFileTest, ACarriageReturnOnAChunkBoundaryIsDropped) {
    // The reader's original took 100-byte chunks; a CR ending one chunk
    // before the LF starting the next is a line end like any other.
    const std::string first(99, 'x');
    EXPECT_EQ(AllLines(first + "\r\nB\n"), (std::vector<std::string>{first, "B"}));
    const std::string longer(150, 'y');
    EXPECT_EQ(AllLines(longer + "\r\n"), (std::vector<std::string>{longer}));
}

TEST(LineMemFileTest, ALastLineWithoutLineFeedIsNotLost) {
    EXPECT_EQ(AllLines("A\nB"), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(AllLines("A\nB\r"), (std::vector<std::string>{"A", "B"}));
}

TEST(LineMemFileTest, OverlongLinesAreCutOnceAndFlagged) {
    const std::string longest(258, 'a');
    const std::string tooLong(400, 'b');
    std::vector<bool> cut;
    const auto lines = AllLines(longest + "\n" + tooLong + "\nC\n", &cut);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], longest);
    EXPECT_EQ(lines[1], std::string(258, 'b'));
    EXPECT_EQ(lines[2], "C");
    EXPECT_EQ(cut, (std::vector<bool>{false, true, false}));
}

TEST(LineMemFileTest, PositionIsTheOffsetOfTheNextLine) {
    const std::string text = "ab\r\ncd\nef";
    CLineMemFile file(std::span<const std::uint8_t>(
        reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    std::string_view line;
    std::vector<std::size_t> offsets;
    for (std::size_t at = file.Position(); file.ReadLine(line); at = file.Position()) {
        offsets.push_back(at);
    }
    EXPECT_EQ(offsets, (std::vector<std::size_t>{0, 4, 7}));
    EXPECT_FALSE(file.ReadLine(line));
    EXPECT_TRUE(line.empty());
}

} // namespace
} // namespace mvr
