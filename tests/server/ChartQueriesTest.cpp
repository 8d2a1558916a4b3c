#include "ChartTestData.h"
#include "core/net/IOException.h"
#include "server/ChartAnswers.h"
#include "support/MemorySocket.h"

#include <gtest/gtest.h>

namespace mvr {
namespace {

using test::CMemorySocket;
using Bytes = std::vector<std::uint8_t>;

Bytes Long(std::int32_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    return {static_cast<std::uint8_t>(v >> 24), static_cast<std::uint8_t>(v >> 16),
            static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)};
}

// A block of the given payload.
Bytes Block(const Bytes& payload) {
    Bytes block = Long(static_cast<std::int32_t>(payload.size()));
    block.insert(block.end(), payload.begin(), payload.end());
    return block;
}

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

// One request 4 entry: SInCode, start, end and three zeros.
Bytes DailyEntryBytes(std::int32_t sinCode) {
    return Join({Long(sinCode), Long(1), Long(800000), Bytes(12, 0)});
}

struct MalformedBody {
    const char* what;
    Bytes body;
};

class ChartQueriesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { data_ = new test::CChartTestData(); }
    static void TearDownTestSuite() {
        delete data_;
        data_ = nullptr;
    }
    static test::CChartTestData* data_;
};

test::CChartTestData* ChartQueriesTest::data_ = nullptr;

TEST_F(ChartQueriesTest, MalformedBodiesEndTheConnectionUnanswered) {
    const Bytes entry = DailyEntryBytes(2002);
    const std::vector<MalformedBody> bodies = {
        {"negative count", Block(Long(-1))},
        {"count beyond the limit", Block(Long(kMaxChartEntries + 1))},
        {"more than the count in the first block", Block(Join({Long(1), entry}))},
        {"an empty first block", Long(0)},
        {"a status marker for a first block", Long(-1)},
        {"an empty block before the last entry", Join({Block(Long(2)), Block(entry), Long(0)})},
        {"an entry cut by the end of its block",
         Join({Block(Long(2)), Block(Join({entry, Bytes(entry.begin(), entry.begin() + 10)}))})},
        {"bytes behind the last entry", Join({Block(Long(1)), Block(Join({entry, Long(7)}))})},
        {"a body that breaks off", Join({Block(Long(3)), Block(entry)})},
        {"a block longer than the buffer", Join({Block(Long(1)), Long(4093)})},
    };
    for (const MalformedBody& malformed : bodies) {
        CMemorySocket socket(malformed.body);
        RunFlag run{1};
        CClientRequest connection(socket, run);
        EXPECT_THROW(AnswerDailyBars(connection,
                                     {data_->Data(), test::kValidCheckNumber, test::kChartToday}),
                     CIOException)
            << malformed.what;
        EXPECT_TRUE(socket.Sent().empty()) << malformed.what;
    }
}

TEST_F(ChartQueriesTest, WellFormedBodiesAreReadExactlyToTheirEnd) {
    // An empty list has no block behind the count; a full last block no empty one.
    const Bytes entry = DailyEntryBytes(2002);
    for (const Bytes& body : {Block(Long(0)), Join({Block(Long(2)), Block(entry), Block(entry)})}) {
        CMemorySocket socket(body);
        RunFlag run{1};
        CClientRequest connection(socket, run);
        EXPECT_EQ(ReadDailyBarsQueries(connection).size(), static_cast<std::size_t>(body[7]));
        EXPECT_EQ(socket.Delivered(), body.size());
    }
}

} // namespace
} // namespace mvr
