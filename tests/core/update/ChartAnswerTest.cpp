#include "core/update/ChartAnswer.h"

#include "core/formats/DayNumber.h"
#include "core/net/DeltaBarSequence.h"
#include "core/net/IOException.h"
#include "support/MemorySocket.h"

#include <gtest/gtest.h>
#include <optional>

namespace mvr {
namespace {

using test::CMemorySocket;
using Bytes = std::vector<std::uint8_t>;

const std::int32_t kDay = DatumToDayNumber(DATUM{7, 3, 2005});

// Writes an answer block by block, as a server sends it.
class AnswerBuilder {
public:
    AnswerBuilder() : peer_(socket_, run_) {}

    AnswerBuilder& Block(std::initializer_list<std::int32_t> values) {
        for (std::int32_t value : values) {
            peer_.Out().writeLong(value);
        }
        peer_.writeData();
        return *this;
    }
    // The bars of one price block; a sequence runs on across its blocks.
    AnswerBuilder& Prices(int decimals, std::initializer_list<DeltaBar> bars) {
        sequence_.BeginBlock(decimals);
        return Bars(decimals, bars);
    }
    AnswerBuilder& PricesOfDay(std::int32_t day, int decimals,
                               std::initializer_list<DeltaBar> bars) {
        sequence_.BeginBlock(decimals);
        if (day != day_) {
            sequence_.RestartDate();
            day_ = day;
        }
        peer_.Out().writeLong(day);
        return Bars(decimals, bars);
    }
    AnswerBuilder& EndPrices() {
        peer_.writeEndOfSection(0);
        sequence_ = CDeltaBarSequence();
        day_.reset();
        return *this;
    }
    AnswerBuilder& End() {
        peer_.writeEndOfSection(0);
        return *this;
    }
    const Bytes& Wire() const { return socket_.Sent(); }

private:
    AnswerBuilder& Bars(int decimals, std::initializer_list<DeltaBar> bars) {
        for (const DeltaBar& bar : bars) {
            sequence_.Write(peer_.Out(), bar);
        }
        peer_.writeBlockNK(static_cast<std::uint8_t>(decimals));
        return *this;
    }

    CMemorySocket socket_;
    RunFlag run_{1};
    CClientRequest peer_;
    CDeltaBarSequence sequence_;
    std::optional<std::int32_t> day_;
};

// The receiving end over an answer held in memory.
struct Receiver {
    explicit Receiver(const Bytes& wire) : socket(wire), request(socket, run) {}

    CMemorySocket socket;
    RunFlag run{1};
    CClientRequest request;
    int answeredCalls = 0;

    EntryAnsweredCallback Counter() {
        return [this] { ++answeredCalls; };
    }
};

std::vector<JAHRESCHARTARRAY> Entries(std::size_t count, std::int32_t startDay = kDay - 10,
                                      std::int32_t endDay = kDay + 10) {
    std::vector<JAHRESCHARTARRAY> entries(count);
    for (std::size_t k = 0; k < count; ++k) {
        entries[k].SInCode = 1000 + static_cast<std::int32_t>(k);
        entries[k].startDay = startDay;
        entries[k].endDay = endDay;
    }
    return entries;
}

PERIODE Bar(std::int32_t day, std::int32_t seconds, float open, float high, float low, float close,
            std::int32_t volume) {
    PERIODE bar;
    bar.secondsOfDay = seconds;
    bar.open = open;
    bar.high = high;
    bar.low = low;
    bar.close = close;
    bar.volume = volume;
    bar.dayNumber = day;
    bar.sourcePos = -1;
    bar.isNew = 1;
    return bar;
}

void ExpectFailure(const std::function<void()>& call, const std::string& message) {
    try {
        call();
        ADD_FAILURE() << "expected " << message;
    } catch (const CIOException& e) {
        EXPECT_EQ(e.Message(), message);
    }
}

// --- request 4 -----------------------------------------------------------

TEST(DailyBarsAnswerTest, HeadersBlocksAndBarsBecomeHistories) {
    AnswerBuilder answer;
    answer.Block({2})
        .Block({1000, 1, 2, 3, 1})
        .Block({99, 98}) // passed over
        .Prices(
            2, {{kDay, 10.25f, 0.0f, 0.0f, 0.0f, 100}, {kDay + 1, 10.5f, 10.3f, 10.1f, 10.6f, 200}})
        // Other decimals: the prices restart at zero, the date runs on.
        .Prices(4, {{kDay + 3, 10.5012f, 10.4f, 10.3999f, 10.6001f, 300}})
        .EndPrices()
        .Block({1001, 0, 0, 0, 0})
        .End();
    Receiver receiver(answer.Wire());
    auto entries = Entries(2);
    EXPECT_TRUE(ReadDailyBarsAnswer(receiver.request, entries, receiver.Counter()));

    EXPECT_EQ(receiver.answeredCalls, 2);
    ASSERT_TRUE(entries[0].answered);
    ASSERT_TRUE(entries[0].bars);
    const PriceHistory& bars = *entries[0].bars;
    ASSERT_EQ(bars.size(), 3u);
    EXPECT_EQ(bars[0], Bar(kDay, 0, 10.25f, 10.25f, 10.25f, 10.25f, 100)) << "missing prices";
    EXPECT_EQ(bars[1], Bar(kDay + 1, 0, 10.3f, 10.6f, 10.1f, 10.5f, 200));
    EXPECT_EQ(bars[2], Bar(kDay + 3, 0, 10.4f, 10.6001f, 10.3999f, 10.5012f, 300));

    EXPECT_TRUE(entries[1].answered);
    ASSERT_TRUE(entries[1].bars);
    EXPECT_TRUE(entries[1].bars->empty());
}

TEST(DailyBarsAnswerTest, AShortHeaderAnnouncesNoBars) {
    AnswerBuilder answer;
    answer.Block({1}).Block({1000}).End();
    Receiver receiver(answer.Wire());
    auto entries = Entries(1);
    EXPECT_TRUE(ReadDailyBarsAnswer(receiver.request, entries, nullptr));
    EXPECT_TRUE(entries[0].answered);
    EXPECT_TRUE(entries[0].bars->empty());
}

TEST(DailyBarsAnswerTest, TheAnnouncedNumberOfBarsOnlySizesTheArray) {
    for (std::int32_t announced : {-5, 0, 1, 2, 1000000, 0x7FFFFFFF}) {
        AnswerBuilder answer;
        answer.Block({1})
            .Block({1000, 0, 0, announced, 1})
            .Block({0})
            .Prices(2, {{kDay, 1.0f, 1.0f, 1.0f, 1.0f, 1}, {kDay + 1, 2.0f, 2.0f, 2.0f, 2.0f, 2}})
            .EndPrices()
            .End();
        Receiver receiver(answer.Wire());
        auto entries = Entries(1);
        EXPECT_TRUE(ReadDailyBarsAnswer(receiver.request, entries, nullptr));
        ASSERT_TRUE(entries[0].bars);
        EXPECT_EQ(entries[0].bars->size(), 2u) << announced;
        EXPECT_EQ(entries[0].bars->capacity(), 2u) << "no room kept beyond the bars";
    }
}

TEST(DailyBarsAnswerTest, EntriesWithoutHeaderStayWithoutBars) {
    AnswerBuilder answer;
    answer.Block({3}).Block({1000, 0, 0, 0, 0}).End();
    Receiver receiver(answer.Wire());
    auto entries = Entries(3);
    EXPECT_TRUE(ReadDailyBarsAnswer(receiver.request, entries, receiver.Counter()));
    EXPECT_EQ(receiver.answeredCalls, 1);
    EXPECT_TRUE(entries[0].answered);
    for (std::size_t k : {1u, 2u}) {
        EXPECT_FALSE(entries[k].answered);
        EXPECT_FALSE(entries[k].bars);
    }
}

TEST(DailyBarsAnswerTest, MalformedAnswersEndTheRequestAndKeepWhatWasComplete) {
    {
        // One header more than entries.
        AnswerBuilder answer;
        answer.Block({1})
            .Block({1000, 0, 0, 0, 1})
            .Block({0})
            .Prices(2, {{kDay, 1.0f, 1.0f, 1.0f, 1.0f, 1}})
            .EndPrices()
            .Block({1001, 0, 0, 0, 0})
            .End();
        Receiver receiver(answer.Wire());
        auto entries = Entries(1);
        ExpectFailure([&] { ReadDailyBarsAnswer(receiver.request, entries, nullptr); },
                      "readDailyBars entries");
        EXPECT_TRUE(entries[0].answered);
        EXPECT_EQ(entries[0].bars->size(), 1u);
    }
    {
        // A date step past the end of the calendar.
        AnswerBuilder answer;
        answer.Block({2})
            .Block({1000, 0, 0, 0, 0})
            .Block({1001, 0, 0, 0, 1})
            .Block({0})
            .Prices(2,
                    {{kDay, 1.0f, 1.0f, 1.0f, 1.0f, 1}, {(1 << 30) - 2, 1.0f, 1.0f, 1.0f, 1.0f, 1}})
            .EndPrices()
            .End();
        Receiver receiver(answer.Wire());
        auto entries = Entries(2);
        ExpectFailure([&] { ReadDailyBarsAnswer(receiver.request, entries, nullptr); },
                      "readDailyBars date");
        EXPECT_TRUE(entries[0].answered);
        EXPECT_FALSE(entries[1].answered);
        EXPECT_FALSE(entries[1].bars);
    }
}

TEST(DailyBarsAnswerTest, AStopInsideAnEntryLeavesItWithoutBars) {
    AnswerBuilder answer;
    answer.Block({2})
        .Block({1000, 0, 0, 0, 0})
        .Block({1001, 0, 0, 0, 1})
        .Block({0})
        .Prices(2, {{kDay, 1.0f, 1.0f, 1.0f, 1.0f, 1}})
        .Prices(2, {{kDay + 1, 2.0f, 2.0f, 2.0f, 2.0f, 2}})
        .EndPrices()
        .End();
    const std::size_t firstPriceBlockEnd = answer.Wire().size() - 4 - 4 - (4 + 13);
    Receiver receiver(answer.Wire());
    receiver.socket.OnReceived([&](std::size_t delivered) {
        if (delivered >= firstPriceBlockEnd) {
            receiver.run = 0;
        }
    });
    auto entries = Entries(2);
    EXPECT_FALSE(ReadDailyBarsAnswer(receiver.request, entries, nullptr));
    EXPECT_TRUE(entries[0].answered);
    EXPECT_FALSE(entries[1].answered);
    EXPECT_FALSE(entries[1].bars);
}

TEST(DailyBarsAnswerTest, AStopBetweenEntriesEndsTheAnswer) {
    AnswerBuilder answer;
    answer.Block({2}).Block({1000, 0, 0, 0, 0}).Block({1001, 0, 0, 0, 0}).End();
    Receiver receiver(answer.Wire());
    auto entries = Entries(2);
    EXPECT_FALSE(ReadDailyBarsAnswer(receiver.request, entries, [&] { receiver.run = 0; }));
    EXPECT_TRUE(entries[0].answered);
    EXPECT_FALSE(entries[1].answered);
}

TEST(DailyBarsAnswerTest, ACutConnectionRaisesWithTheTransportsMessage) {
    AnswerBuilder answer;
    answer.Block({1}).Block({1000, 0, 0, 0, 1}).Block({0}).Prices(2, {{kDay, 1, 1, 1, 1, 1}});
    Receiver receiver(answer.Wire());
    auto entries = Entries(1);
    try {
        ReadDailyBarsAnswer(receiver.request, entries, nullptr);
        ADD_FAILURE() << "the answer ended without its end";
    } catch (const CIOException& e) {
        EXPECT_EQ(e.ErrorCode(), 10053);
    }
    EXPECT_FALSE(entries[0].answered);
    EXPECT_FALSE(entries[0].bars);
}

// --- request 7 -----------------------------------------------------------

constexpr std::int32_t kNine = 9 * 3600;

TEST(IntradayBarsAnswerTest, KeysDaysAndTimesBecomeHistories) {
    AnswerBuilder answer;
    answer.Block({3})
        .Block({10, 0, 1})
        .PricesOfDay(
            kDay, 2,
            {{kNine, 5.0f, 0.0f, 4.9f, 5.1f, 10}, {kNine + 900, 5.05f, 5.0f, 5.0f, 5.1f, 11}})
        // The same day in a further block: the time runs on.
        .PricesOfDay(kDay, 2, {{kNine + 1800, 5.1f, 5.05f, 5.0f, 5.2f, 12}})
        // The next day: the time counts from 0 again, the prices run on.
        .PricesOfDay(kDay + 1, 2, {{kNine, 5.2f, 5.1f, 5.1f, 5.3f, 13}})
        .EndPrices()
        // The same key once more: the bars go on in the same entry.
        .Block({10, 0, 1})
        .PricesOfDay(kDay + 2, 3, {{kNine, 5.125f, 5.12f, 5.1f, 5.2f, 14}})
        .EndPrices()
        .Block({11, 0, 0})
        .Block({12, 0, 1})
        .PricesOfDay(kDay, 2, {{kNine, 1.0f, 1.0f, 1.0f, 1.0f, 1}})
        .EndPrices()
        .End();
    Receiver receiver(answer.Wire());
    auto entries = Entries(3, kDay, kDay + 2);
    entries[2].startDay = kDay + 5; // the day sent lies outside its range
    entries[2].endDay = kDay + 6;
    EXPECT_TRUE(ReadIntradayBarsAnswer(receiver.request, entries, receiver.Counter()));

    EXPECT_EQ(receiver.answeredCalls, 3);
    ASSERT_TRUE(entries[0].bars);
    const PriceHistory& bars = *entries[0].bars;
    ASSERT_EQ(bars.size(), 5u);
    EXPECT_EQ(bars[0], Bar(kDay, kNine, 0.0f, 5.1f, 4.9f, 5.0f, 10)) << "no filling of prices";
    EXPECT_EQ(bars[1], Bar(kDay, kNine + 900, 5.0f, 5.1f, 5.0f, 5.05f, 11));
    EXPECT_EQ(bars[2], Bar(kDay, kNine + 1800, 5.05f, 5.2f, 5.0f, 5.1f, 12));
    EXPECT_EQ(bars[3], Bar(kDay + 1, kNine, 5.1f, 5.3f, 5.1f, 5.2f, 13));
    EXPECT_EQ(bars[4], Bar(kDay + 2, kNine, 5.12f, 5.2f, 5.1f, 5.125f, 14));
    EXPECT_TRUE(entries[1].answered);
    EXPECT_TRUE(entries[1].bars->empty());
    EXPECT_TRUE(entries[2].answered);
    EXPECT_TRUE(entries[2].bars->empty());
}

TEST(IntradayBarsAnswerTest, OnlyTheDaysOfTheEntrysRangeAreKept) {
    AnswerBuilder answer;
    answer.Block({1}).Block({0, 0, 1});
    for (std::int32_t day = kDay - 2; day <= kDay + 2; ++day) {
        answer.PricesOfDay(day, 2, {{kNine, 1.0f, 1.0f, 1.0f, 1.0f, day}});
    }
    answer.EndPrices().End();
    Receiver receiver(answer.Wire());
    auto entries = Entries(1, kDay - 1, kDay + 1);
    EXPECT_TRUE(ReadIntradayBarsAnswer(receiver.request, entries, nullptr));
    ASSERT_EQ(entries[0].bars->size(), 3u);
    for (std::size_t k = 0; k < 3; ++k) {
        EXPECT_EQ((*entries[0].bars)[k].dayNumber, kDay - 1 + static_cast<std::int32_t>(k));
    }
}

TEST(IntradayBarsAnswerTest, AKeyThatReturnsIsTheNextEntry) {
    AnswerBuilder answer;
    answer.Block({3}).Block({5, 0, 0}).Block({6, 0, 0}).Block({5, 0, 0}).End();
    Receiver receiver(answer.Wire());
    auto entries = Entries(3);
    EXPECT_TRUE(ReadIntradayBarsAnswer(receiver.request, entries, receiver.Counter()));
    EXPECT_EQ(receiver.answeredCalls, 3);
    EXPECT_TRUE(entries[2].answered);
}

TEST(IntradayBarsAnswerTest, AnEntryIsAnsweredOnlyWhenTheNextKeyOrTheEndArrives) {
    AnswerBuilder answer;
    answer.Block({2}).Block({1, 0, 1}).PricesOfDay(kDay, 2, {{kNine, 1, 1, 1, 1, 1}}).EndPrices();
    const std::size_t firstSequenceEnd = answer.Wire().size();
    answer.Block({1, 0, 1}).PricesOfDay(kDay + 1, 2, {{kNine, 2, 2, 2, 2, 2}}).EndPrices();
    answer.Block({2, 0, 0}).End();

    // Cut behind the first sequence: more blocks of the entry might have followed.
    Receiver cut(answer.Wire());
    cut.socket.CutAfter(firstSequenceEnd);
    auto entries = Entries(2);
    EXPECT_THROW(ReadIntradayBarsAnswer(cut.request, entries, nullptr), CIOException);
    EXPECT_FALSE(entries[0].answered);
    EXPECT_FALSE(entries[0].bars);

    Receiver whole(answer.Wire());
    entries = Entries(2);
    EXPECT_TRUE(ReadIntradayBarsAnswer(whole.request, entries, nullptr));
    EXPECT_EQ(entries[0].bars->size(), 2u);
    EXPECT_TRUE(entries[1].answered);
}

TEST(IntradayBarsAnswerTest, BarsOutOfOrderOrOffTheClockAreMalformed) {
    const auto read = [](AnswerBuilder& answer) {
        Receiver receiver(answer.Wire());
        auto entries = Entries(1);
        ExpectFailure([&] { ReadIntradayBarsAnswer(receiver.request, entries, nullptr); },
                      "readIntradayBars date");
        EXPECT_FALSE(entries[0].bars);
    };
    AnswerBuilder backwards;
    backwards.Block({1})
        .Block({0, 0, 1})
        .PricesOfDay(kDay + 1, 2, {{kNine, 1, 1, 1, 1, 1}})
        .PricesOfDay(kDay, 2, {{kNine, 1, 1, 1, 1, 1}})
        .EndPrices()
        .End();
    read(backwards);
    AnswerBuilder lateTime;
    lateTime.Block({1})
        .Block({0, 0, 1})
        .PricesOfDay(kDay, 2, {{24 * 3600, 1, 1, 1, 1, 1}})
        .EndPrices()
        .End();
    read(lateTime);
}

TEST(IntradayBarsAnswerTest, AStopInsideAnEntryLeavesItWithoutBars) {
    AnswerBuilder answer;
    answer.Block({1})
        .Block({0, 0, 1})
        .PricesOfDay(kDay, 2, {{kNine, 1, 1, 1, 1, 1}})
        .EndPrices()
        .End();
    Receiver receiver(answer.Wire());
    receiver.socket.OnReceived([&](std::size_t delivered) {
        if (delivered > 4 + 4 + 4 + 12) {
            receiver.run = 0;
        }
    });
    auto entries = Entries(1);
    EXPECT_FALSE(ReadIntradayBarsAnswer(receiver.request, entries, nullptr));
    EXPECT_FALSE(entries[0].answered);
    EXPECT_FALSE(entries[0].bars);
}

} // namespace
} // namespace mvr
