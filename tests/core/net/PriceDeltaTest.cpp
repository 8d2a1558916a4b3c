#include "core/net/PriceDelta.h"

#include "core/net/DeltaBarSequence.h"
#include "core/net/IOException.h"
#include "NetTestSupport.h"

#include <cmath>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <vector>

namespace mvr {
namespace {

using Bytes = std::vector<std::uint8_t>;
using ::testing::ElementsAre;

constexpr double kPowers[] = {1, 10, 100, 1000, 10000, 100000, 1000000};

TEST(PriceDeltaTest, PreviousPriceIsRoundedHalfUpThenMoved) {
    // 12.345f is 12.34500026...: its seven fractional digits round to 35 hundredths.
    EXPECT_EQ(applyPriceDelta(12.345f, 5, 2), 12.40f);
    EXPECT_EQ(RoundToPriceUnits(12.345f, 2), 1235);
    EXPECT_EQ(applyPriceDelta(12.345f, -1235, 2), 0.0f);
    EXPECT_EQ(applyPriceDelta(0.125f, 0, 2), 0.13f); // exactly half goes up
    EXPECT_EQ(applyPriceDelta(0.35f, 0, 2), 0.35f);  // 0.34999999 is still 35 hundredths
    EXPECT_EQ(applyPriceDelta(7.5f, 0, 0), 8.0f);
    EXPECT_EQ(applyPriceDelta(0.0f, 1, 6), 0.000001f);
    EXPECT_EQ(applyPriceDelta(99.99f, 1, 2), 100.0f);
    // Negative values (prices never are) lose their last digit toward zero.
    EXPECT_EQ(applyPriceDelta(-0.355f, 0, 2), -0.35f);
    EXPECT_EQ(applyPriceDelta(-0.01f, 0, 2), 0.0f);
}

TEST(PriceDeltaTest, OtherDecimalsOrUncountableValuesLeaveThePriceAlone) {
    EXPECT_EQ(applyPriceDelta(12.345f, 5, 9), 12.345f);
    EXPECT_EQ(applyPriceDelta(12.345f, 5, 7), 12.345f);
    EXPECT_EQ(applyPriceDelta(12.345f, 5, -1), 12.345f);
    EXPECT_EQ(applyPriceDelta(3e12f, 5, 2), 3e12f);
    EXPECT_EQ(applyPriceDelta(std::numeric_limits<float>::infinity(), 5, 2),
              std::numeric_limits<float>::infinity());
    EXPECT_TRUE(std::isnan(applyPriceDelta(std::numeric_limits<float>::quiet_NaN(), 5, 2)));
    EXPECT_FALSE(RoundToPriceUnits(1.0f, 7).has_value());
}

TEST(PriceDeltaTest, DeltaCodedBarGoldenBytes) {
    CDataInputStream in;
    ASSERT_TRUE(
        test::LoadBlock(in, {0, 0, 0, 10, 0x05, 0x44, 0xD3, 0x00, 0x21, 0x01, 0, 0, 0, 0x64}));
    DeltaBar running{0, 0.0f, 0.0f, 0.02f, 0.0f, 0};
    in.readCompress(running, 2);
    EXPECT_EQ(running, (DeltaBar{5, 12.35f, 0.0f, 0.01f, 0.01f, 100}));
    EXPECT_EQ(in.Position(), 14);

    CDataOutputStream out;
    DeltaBar sent{0, 0.0f, 0.0f, 0.02f, 0.0f, 0};
    out.writeCompress(sent, DeltaBar{5, 12.35f, 0.0f, 0.01f, 0.01f, 100}, 2);
    EXPECT_THAT(test::Payload(out), ElementsAre(0x05, 0x44, 0xD3, 0x00, 0x21, 0x01, 0, 0, 0, 0x64));
    EXPECT_EQ(sent, running);
}

TEST(PriceDeltaTest, BarsThatCannotBeCodedAreRefusedWithoutWriting) {
    const DeltaBar start{100, 10.0f, 10.0f, 10.0f, 10.0f, 1};
    const DeltaBar refused[] = {
        {99, 10.0f, 10.0f, 10.0f, 10.0f, 1},              // the date goes back
        {100 + (1 << 30), 10.0f, 10.0f, 10.0f, 10.0f, 1}, // a date step beyond the code
        {101, 600.0f, 10.0f, 10.0f, 10.0f, 1},            // 5.9e8 units of 10^-6
        {101, 10.0f, std::numeric_limits<float>::quiet_NaN(), 10.0f, 10.0f, 1},
        {101, 10.0f, 10.0f, std::numeric_limits<float>::infinity(), 10.0f, 1},
    };
    for (const DeltaBar& bar : refused) {
        CDataOutputStream out;
        DeltaBar running = start;
        EXPECT_THROW(out.writeCompress(running, bar, 6), CIOException);
        EXPECT_EQ(out.Position(), 4);
        EXPECT_EQ(running, start);
    }
    CDataOutputStream out;
    DeltaBar running = start;
    EXPECT_THROW(out.writeCompress(running, start, 7), CIOException);
    // 536.870911 is the largest step at six decimals.
    running = {};
    out.writeCompress(running, DeltaBar{0, 536.870911f, 0, 0, 0, 0}, 6);
    EXPECT_EQ(running.p1, 536.870911f);
}

// A random walk of daily bars whose prices carry exactly d decimals.
struct History {
    std::vector<DeltaBar> bars;
    std::vector<int> decimals; // per bar
};

History RandomHistory(std::mt19937& random, int count, bool decimalsChange) {
    History history;
    std::int32_t date = 730000 + static_cast<std::int32_t>(random() % 1000);
    int d = static_cast<int>(random() % 7);
    // Units kept below 6e6 so that a float holds every price to d decimals.
    std::int64_t close = 1 + static_cast<std::int64_t>(random() % 5000000);
    for (int i = 0; i < count; ++i) {
        if (decimalsChange && random() % 50 == 0) {
            const int next = static_cast<int>(random() % 7);
            close = static_cast<std::int64_t>(std::llround(close * kPowers[next] / kPowers[d]));
            close = std::clamp<std::int64_t>(close, 0, 5999999);
            d = next;
        }
        date += 1 + static_cast<std::int32_t>(random() % 4);
        const auto step = [&](std::int64_t spread) {
            return std::clamp<std::int64_t>(
                close + static_cast<std::int64_t>(random() % (2 * spread + 1)) - spread, 0,
                5999999);
        };
        const std::int64_t spread = std::max<std::int64_t>(1, close / 20);
        close = step(spread);
        const std::int64_t open = step(spread);
        const std::int64_t low = std::min({close, open, step(spread)});
        const std::int64_t high = std::max({close, open, step(spread)});
        const auto price = [&](std::int64_t units) {
            return static_cast<float>(static_cast<double>(units) / kPowers[d]);
        };
        // Some bars lack open, low or high, as the server sends them.
        const bool onlyClose = random() % 10 == 0;
        history.bars.push_back({date, price(close), onlyClose ? 0.0f : price(open),
                                onlyClose ? 0.0f : price(low), onlyClose ? 0.0f : price(high),
                                static_cast<std::int32_t>(random() % 5000000)});
        history.decimals.push_back(d);
    }
    return history;
}

// Sends the bars in price blocks the way a server does (a new block when the
// decimals change or the block is full) and decodes them as a client does.
std::vector<DeltaBar> SendAndReceive(const std::vector<DeltaBar>& bars,
                                     const std::vector<int>& decimals) {
    std::vector<Bytes> wire;
    CDataOutputStream out;
    CDeltaBarSequence sender;
    const auto endBlock = [&] {
        if (out.writeSizeNK(static_cast<std::uint8_t>(sender.Decimals()))) {
            wire.emplace_back(out.Buffer(), out.Buffer() + out.BlockSize());
        }
        out.Reset();
    };
    for (std::size_t i = 0; i < bars.size(); ++i) {
        if (i == 0 || decimals[i] != sender.Decimals() || out.ShouldSend()) {
            if (i != 0) {
                endBlock();
            }
            sender.BeginBlock(decimals[i]);
        }
        sender.Write(out, bars[i]);
    }
    endBlock();

    std::vector<DeltaBar> received;
    CDataInputStream in;
    CDeltaBarSequence receiver;
    for (const Bytes& block : wire) {
        in.Reset();
        std::copy(block.begin(), block.end(), in.Buffer());
        int d = -1;
        EXPECT_TRUE(in.readSizeNK(d));
        receiver.BeginBlock(d);
        while (in.HasMore()) {
            received.push_back(receiver.Read(in));
        }
    }
    return received;
}

TEST(PriceDeltaTest, HistoriesSurviveToTheirDecimals) {
    std::mt19937 random(2024);
    const int histories = test::LongTestsEnabled() ? 400 : 40;
    for (int h = 0; h < histories; ++h) {
        const History history = RandomHistory(random, 1500, h % 2 == 1);
        const std::vector<DeltaBar> received = SendAndReceive(history.bars, history.decimals);
        ASSERT_EQ(received.size(), history.bars.size());
        for (std::size_t i = 0; i < received.size(); ++i) {
            ASSERT_EQ(received[i], history.bars[i])
                << "history " << h << " bar " << i << " at " << history.decimals[i] << " decimals";
        }
    }
}

TEST(PriceDeltaTest, AnyPricesArriveRoundedToTheBlockDecimals) {
    std::mt19937 random(99);
    std::uniform_real_distribution<float> prices(0.0f, 2000.0f);
    for (int d = 0; d <= kMaxPriceDecimals; ++d) {
        std::vector<DeltaBar> bars;
        std::int32_t date = 0;
        for (int i = 0; i < 3000; ++i) {
            const float limit = d == 6 ? 500.0f : 2000.0f; // keeps steps inside the code
            bars.push_back({date += static_cast<std::int32_t>(random() % 3),
                            std::fmod(prices(random), limit), std::fmod(prices(random), limit),
                            std::fmod(prices(random), limit), std::fmod(prices(random), limit),
                            static_cast<std::int32_t>(random())});
        }
        const std::vector<DeltaBar> received =
            SendAndReceive(bars, std::vector<int>(bars.size(), d));
        ASSERT_EQ(received.size(), bars.size());
        for (std::size_t i = 0; i < bars.size(); ++i) {
            const DeltaBar rounded{bars[i].date,
                                   applyPriceDelta(bars[i].p1, 0, d),
                                   applyPriceDelta(bars[i].p2, 0, d),
                                   applyPriceDelta(bars[i].p3, 0, d),
                                   applyPriceDelta(bars[i].p4, 0, d),
                                   bars[i].volume};
            ASSERT_EQ(received[i], rounded) << d << " decimals, bar " << i;
        }
    }
}

TEST(PriceDeltaTest, NewDecimalsRestartThePricesButNotTheDate) {
    CDeltaBarSequence sequence;
    sequence.BeginBlock(2);
    CDataOutputStream out;
    sequence.Write(out, DeltaBar{10, 1.5f, 1.5f, 1.5f, 1.5f, 3});
    sequence.BeginBlock(2);
    EXPECT_EQ(sequence.Running().p1, 1.5f);
    sequence.BeginBlock(4);
    EXPECT_EQ(sequence.Running(), (DeltaBar{10, 0.0f, 0.0f, 0.0f, 0.0f, 3}));
    // The first bar of the new block is coded from zero: 1.5 at four decimals.
    out.Reset();
    sequence.Write(out, DeltaBar{11, 1.5f, 0.0f, 0.0f, 0.0f, 3});
    EXPECT_THAT(test::Payload(out), ElementsAre(0x01, 0x80, 0x3A, 0x98, 0, 0, 0, 0, 0, 0, 3));
}

} // namespace
} // namespace mvr
