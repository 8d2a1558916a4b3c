#include "core/update/ChartRequestBody.h"

#include "support/MemorySocket.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace mvr {
namespace {

using test::CMemorySocket;
using ::testing::ElementsAre;
using Bytes = std::vector<std::uint8_t>;

// The blocks of a byte string as they went out: payload of each.
std::vector<Bytes> SplitBlocks(const Bytes& wire) {
    std::vector<Bytes> blocks;
    std::size_t at = 0;
    while (at + 4 <= wire.size()) {
        const std::size_t length = (std::size_t{wire[at]} << 24) |
                                   (std::size_t{wire[at + 1]} << 16) |
                                   (std::size_t{wire[at + 2]} << 8) | wire[at + 3];
        blocks.emplace_back(wire.begin() + static_cast<std::ptrdiff_t>(at + 4),
                            wire.begin() + static_cast<std::ptrdiff_t>(at + 4 + length));
        at += 4 + length;
    }
    EXPECT_EQ(at, wire.size()) << "a block cut short";
    return blocks;
}

template <typename WriteBody>
std::vector<Bytes> SentBlocks(const std::vector<JAHRESCHARTARRAY>& entries, WriteBody writeBody) {
    CMemorySocket socket;
    RunFlag run{1};
    CClientRequest request(socket, run);
    writeBody(request, entries);
    return SplitBlocks(socket.Sent());
}

JAHRESCHARTARRAY Entry(std::int32_t sinCode, std::int32_t start, std::int32_t end,
                       std::int32_t daysBack = 0, std::int32_t interval = 0) {
    JAHRESCHARTARRAY entry;
    entry.SInCode = sinCode;
    entry.startDay = start;
    entry.endDay = end;
    entry.daysBack = daysBack;
    entry.interval = interval;
    return entry;
}

std::vector<std::size_t> PayloadSizes(const std::vector<Bytes>& blocks) {
    std::vector<std::size_t> sizes;
    for (const Bytes& block : blocks) {
        sizes.push_back(block.size());
    }
    return sizes;
}

TEST(ChartRequestBodyTest, DailyBodyBytes) {
    const auto blocks =
        SentBlocks({Entry(0x01020304, 732000, 732005), Entry(7, 1, -1)}, WriteDailyBarsBody);
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_THAT(blocks[0], ElementsAre(0, 0, 0, 2)) << "the count travels alone";
    EXPECT_EQ(blocks[1], (Bytes{1, 2, 3, 4, 0, 0x0B, 0x2B, 0x60, 0,    0x0B, 0x2B, 0x65,
                                0, 0, 0, 0, 0, 0,    0,    0,    0,    0,    0,    0,
                                0, 0, 0, 7, 0, 0,    0,    1,    0xFF, 0xFF, 0xFF, 0xFF,
                                0, 0, 0, 0, 0, 0,    0,    0,    0,    0,    0,    0}));
}

TEST(ChartRequestBodyTest, IntradayBodyBytes) {
    const auto blocks = SentBlocks({Entry(1001, 0, 0, -3, 15), Entry(1002, 0, 0, -40000, 60)},
                                   WriteIntradayBarsBody);
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_THAT(blocks[0], ElementsAre(0, 0, 0, 2));
    const Bytes zeros(16, 0);
    Bytes expected = {0, 0, 0x03, 0xE9, 0x23, 0, 0, 0, 15}; // days back -3: one byte
    expected.insert(expected.end(), zeros.begin(), zeros.end());
    const Bytes second = {0, 0, 0x03, 0xEA, 0xA0, 0x9C, 0x40, 0, 0, 0, 60}; // -40000: three
    expected.insert(expected.end(), second.begin(), second.end());
    expected.insert(expected.end(), zeros.begin(), zeros.end());
    EXPECT_EQ(blocks[1], expected);
}

TEST(ChartRequestBodyTest, AnEmptyListSendsTheCountAlone) {
    EXPECT_EQ(SentBlocks({}, WriteDailyBarsBody), (std::vector<Bytes>{{0, 0, 0, 0}}));
    EXPECT_EQ(SentBlocks({}, WriteIntradayBarsBody), (std::vector<Bytes>{{0, 0, 0, 0}}));
}

TEST(ChartRequestBodyTest, LongBodiesAreCutOnceABlockReachesTheMark) {
    // 24 bytes per entry: a block goes out with 167 entries (4008 bytes), the
    // first one past the mark of 3996 payload bytes.
    const std::vector<JAHRESCHARTARRAY> many(1000, Entry(5, 1, 2));
    EXPECT_THAT(PayloadSizes(SentBlocks(many, WriteDailyBarsBody)),
                ElementsAre(4, 4008, 4008, 4008, 4008, 4008, 3960));
    // Entries that end exactly at a cut leave no empty block behind.
    const std::vector<JAHRESCHARTARRAY> exact(334, Entry(5, 1, 2));
    EXPECT_THAT(PayloadSizes(SentBlocks(exact, WriteDailyBarsBody)), ElementsAre(4, 4008, 4008));

    // The longest intraday entries (28 bytes) still fit behind the mark.
    const std::vector<JAHRESCHARTARRAY> wide(300, Entry(5, 0, 0, -3000000, 1));
    EXPECT_THAT(PayloadSizes(SentBlocks(wide, WriteIntradayBarsBody)),
                ElementsAre(4, 4004, 4004, 392));
}

} // namespace
} // namespace mvr
