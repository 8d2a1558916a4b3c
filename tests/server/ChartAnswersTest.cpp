#include "server/ChartAnswers.h"

#include "ChartTestData.h"
#include "ChartTestServer.h"
#include "core/net/IOException.h"
#include "core/net/PriceDelta.h"
#include "core/net/RequestTimeout.h"
#include "core/net/ServerEndpoint.h"
#include "core/net/ServerRequest.h"
#include "core/update/ChartRequestBody.h"
#include "core/update/PriceHistoryRequest.h"
#include "core/update/UpdateDateRange.h"
#include "server/PriceBlockWriter.h"
#include "support/MemorySocket.h"
#include "support/Sweep.h"

#include <gtest/gtest.h>
#include <random>

namespace mvr {
namespace {

using test::CChartTestData;
using test::CChartTestServer;
using test::ChartSinCode;
using test::CMemorySocket;
using test::kChartDays;
using test::kChartFirstDay;
using test::kChartToday;
using test::kUnknownSinCode;
using test::kValidCheckNumber;
using Bytes = std::vector<std::uint8_t>;
using Entries = std::vector<JAHRESCHARTARRAY>;

JAHRESCHARTARRAY DailyEntry(std::int32_t sinCode, std::int32_t startDay, std::int32_t endDay) {
    JAHRESCHARTARRAY entry;
    entry.SInCode = sinCode;
    entry.startDay = startDay;
    entry.endDay = endDay;
    return entry;
}

JAHRESCHARTARRAY IntradayEntry(std::int32_t sinCode, std::int32_t startDay, std::int32_t endDay,
                               std::int32_t interval) {
    JAHRESCHARTARRAY entry = DailyEntry(sinCode, startDay, endDay);
    entry.daysBack = DaysBackOf({startDay, endDay});
    entry.interval = interval;
    return entry;
}

// The bars a client holds for the server's bars: prices as received at the
// instrument's decimals.
template <class Bar>
PERIODE Expected(const Bar& bar, std::int32_t secondsOfDay, int decimals) {
    PERIODE expected;
    expected.secondsOfDay = secondsOfDay;
    expected.open = PriceOfUnits(bar.open, decimals);
    expected.high = PriceOfUnits(bar.high, decimals);
    expected.low = PriceOfUnits(bar.low, decimals);
    expected.close = PriceOfUnits(bar.close, decimals);
    expected.volume = bar.volume;
    expected.dayNumber = bar.day;
    expected.sourcePos = -1;
    expected.isNew = 1;
    return expected;
}

class ChartAnswersTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { data_ = new CChartTestData(); }
    static void TearDownTestSuite() {
        delete data_;
        data_ = nullptr;
    }

    void SetUp() override {
        ASSERT_TRUE(StartSockets(2, 2));
    }

    static const CServerData& Data() { return data_->Data(); }

    static PriceHistory ExpectedDaily(const JAHRESCHARTARRAY& entry) {
        const BarAnswer<DailyBar> answer =
            Data().DailyBars(entry.SInCode, entry.startDay, entry.endDay);
        PriceHistory bars;
        if (answer.status == BarStatus::Ok) {
            for (const DailyBar& bar : answer.bars) {
                bars.push_back(Expected(bar, 0, answer.decimals));
            }
        }
        return bars;
    }

    static PriceHistory ExpectedIntraday(const JAHRESCHARTARRAY& entry) {
        const ServedDays days = IntradayDaysServed(entry.daysBack, kChartToday);
        const BarAnswer<IntradayBar> answer =
            Data().IntradayBars(entry.SInCode, days.firstDay, days.lastDay, entry.interval);
        PriceHistory bars;
        for (const IntradayBar& bar : answer.bars) {
            if (entry.startDay <= bar.day && bar.day <= entry.endDay) {
                bars.push_back(Expected(bar, bar.secondsOfDay, answer.decimals));
            }
        }
        return bars;
    }

    template <typename Expect>
    static void ExpectAllAnswered(const Entries& entries, Expect expected) {
        for (std::size_t k = 0; k < entries.size(); ++k) {
            ASSERT_TRUE(entries[k].answered) << k;
            ASSERT_TRUE(entries[k].bars) << k;
            EXPECT_EQ(*entries[k].bars, expected(entries[k])) << "entry " << k;
        }
    }

    static CChartTestData* data_;
    const CScopedServerEndpoint endpoint_{GetServerEndpoint()};
    const CScopedRequestTimeout timeout_{std::chrono::seconds(10)};
};

CChartTestData* ChartAnswersTest::data_ = nullptr;

// --- over loopback ----------------------------------------------------------

TEST_F(ChartAnswersTest, DailyBarsAtEveryNumberOfDecimalsTravelIntact) {
    Entries entries;
    for (int decimals = 0; decimals <= kMaxDecimals; ++decimals) {
        entries.push_back(DailyEntry(ChartSinCode(decimals), 0, kChartToday));
        entries.push_back(
            DailyEntry(ChartSinCode(decimals), kChartFirstDay + 100, kChartFirstDay + 130));
    }
    entries.push_back(DailyEntry(kUnknownSinCode, 0, kChartToday));
    entries.push_back(DailyEntry(ChartSinCode(2), kChartFirstDay - 90, kChartFirstDay - 1));
    entries.push_back(DailyEntry(ChartSinCode(3), kChartToday, kChartFirstDay)); // reversed

    CChartTestServer server(Data(), kChartToday);
    server.BecomeServer();
    RunFlag run{1};
    int loading = 0;
    int answered = 0;
    const ChartRequestResult result = RequestDailyBars(entries, kValidCheckNumber, run,
                                                       {[&] { ++loading; }, [&] { ++answered; }});
    server.Join();
    EXPECT_EQ(result.outcome, ChartRequestOutcome::Complete) << result.error;
    EXPECT_EQ(server.Failure(), "");
    EXPECT_EQ(server.Header().kind, kChartRequestKind);
    EXPECT_EQ(server.Header().code, kDailyBarsRequestCode);
    EXPECT_EQ(server.Header().parameter, kValidCheckNumber);
    EXPECT_EQ(loading, 1);
    EXPECT_EQ(answered, static_cast<int>(entries.size()));
    ExpectAllAnswered(entries, ExpectedDaily);
    EXPECT_GT(entries[0].bars->size(), 300u);
    EXPECT_TRUE(entries[14].bars->empty()) << "unknown to the server";
    EXPECT_TRUE(entries[15].bars->empty()) << "no bars in the range";
}

TEST_F(ChartAnswersTest, ThousandsOfEntriesTravelInOneRequest) {
    std::mt19937 random(7);
    Entries entries;
    for (int k = 0; k < 3000; ++k) {
        const std::int32_t start =
            kChartFirstDay + static_cast<std::int32_t>(random() % kChartDays);
        const std::int32_t sinCode =
            k % 50 == 0 ? kUnknownSinCode : ChartSinCode(static_cast<int>(random() % 7));
        entries.push_back(
            DailyEntry(sinCode, start, start + static_cast<std::int32_t>(random() % 20)));
    }
    CChartTestServer server(Data(), kChartToday);
    server.BecomeServer();
    RunFlag run{1};
    const ChartRequestResult result = RequestDailyBars(entries, kValidCheckNumber, run);
    server.Join();
    EXPECT_EQ(result.outcome, ChartRequestOutcome::Complete) << result.error;
    ExpectAllAnswered(entries, ExpectedDaily);
}

TEST_F(ChartAnswersTest, IntradayBarsTravelByDaysBackAndInterval) {
    const std::int32_t today = kChartToday;
    Entries entries = {
        // A normal update: from some days back up to yesterday.
        IntradayEntry(ChartSinCode(3), today - 2, today - 1, 5),
        // The same instrument next to itself stays two entries.
        IntradayEntry(ChartSinCode(3), today - 2, today - 1, 5),
        IntradayEntry(ChartSinCode(0), today - 3, today, 1),
        IntradayEntry(ChartSinCode(6), today, today, 60),
        IntradayEntry(ChartSinCode(6), today - 1, today, 24 * 60),
        IntradayEntry(ChartSinCode(1), today - 3, today, 5), // no 1-minute data
        IntradayEntry(kUnknownSinCode, today - 3, today, 5),
        IntradayEntry(ChartSinCode(3), today - 3, today, 0), // no interval
    };
    CChartTestServer server(Data(), today);
    server.BecomeServer();
    RunFlag run{1};
    int answered = 0;
    const ChartRequestResult result =
        RequestIntradayBars(entries, kValidCheckNumber, run, {nullptr, [&] { ++answered; }});
    server.Join();
    EXPECT_EQ(result.outcome, ChartRequestOutcome::Complete) << result.error;
    EXPECT_EQ(server.Header().code, kIntradayBarsRequestCode);
    EXPECT_EQ(answered, static_cast<int>(entries.size()));
    ExpectAllAnswered(entries, ExpectedIntraday);
    ASSERT_FALSE(entries[0].bars->empty());
    EXPECT_EQ(entries[0].bars->front().dayNumber, today - 2) << "the start day arrives";
    EXPECT_EQ(entries[0].bars->back().dayNumber, today - 1);
    EXPECT_EQ(entries[0].bars->front().secondsOfDay, 9 * 3600);
    EXPECT_EQ(entries[1].bars, entries[0].bars);
    EXPECT_EQ(entries[4].bars->size(), 2u) << "one bar a day";
    for (std::size_t k : {5u, 6u, 7u}) {
        EXPECT_TRUE(entries[k].bars->empty()) << k;
    }
}

TEST_F(ChartAnswersTest, AnAccountThatIsNotValidGetsNoPrices) {
    Entries entries = {DailyEntry(ChartSinCode(2), 0, kChartToday)};
    CChartTestServer server(Data(), kChartToday);
    server.BecomeServer();
    RunFlag run{1};
    const ChartRequestResult result = RequestDailyBars(entries, 12345, run);
    server.Join();
    EXPECT_EQ(result.outcome, ChartRequestOutcome::Complete);
    EXPECT_FALSE(entries[0].answered);
    EXPECT_FALSE(entries[0].bars);
}

TEST_F(ChartAnswersTest, ABrokenConnectionKeepsTheEntriesAnsweredBeforeIt) {
    Entries entries;
    for (int decimals = 0; decimals <= kMaxDecimals; ++decimals) {
        entries.push_back(DailyEntry(ChartSinCode(decimals), 0, kChartToday));
    }
    // About half way through the answer (each entry takes a few kilobytes).
    CChartTestServer server(Data(), kChartToday, 12000);
    server.BecomeServer();
    RunFlag run{1};
    const ChartRequestResult result = RequestDailyBars(entries, kValidCheckNumber, run);
    server.Join();
    EXPECT_EQ(result.outcome, ChartRequestOutcome::Failed);
    EXPECT_FALSE(result.error.empty());
    EXPECT_NE(server.Failure(), "");
    ASSERT_TRUE(entries.front().answered);
    EXPECT_EQ(*entries.front().bars, ExpectedDaily(entries.front()));
    EXPECT_FALSE(entries.back().answered);
    EXPECT_FALSE(entries.back().bars);
}

// --- in memory --------------------------------------------------------------

using BodyWriter = void (*)(CClientRequest&, std::span<const JAHRESCHARTARRAY>);
using Handler = void (*)(CClientRequest&, const ChartAnswerContext&);
using AnswerReader = bool (*)(CClientRequest&, std::span<JAHRESCHARTARRAY>,
                              const EntryAnsweredCallback&);

Bytes BodyOf(const Entries& entries, BodyWriter writeBody) {
    CMemorySocket socket;
    RunFlag run{1};
    CClientRequest request(socket, run);
    writeBody(request, entries);
    return socket.Sent();
}

Bytes AnswerOf(const CServerData& data, const Bytes& body, Handler handler) {
    CMemorySocket socket(body);
    RunFlag run{1};
    CClientRequest connection(socket, run);
    handler(connection, ChartAnswerContext{data, kValidCheckNumber, kChartToday});
    EXPECT_EQ(socket.Delivered(), body.size()) << "the whole body is read";
    return socket.Sent();
}

// A cut of the answer at any byte leaves a prefix of the entries answered
// with their complete bars and the rest without any.
void SweepCuts(const Bytes& answer, const Entries& request, AnswerReader readAnswer) {
    Entries whole = request;
    {
        CMemorySocket socket(answer);
        RunFlag run{1};
        CClientRequest client(socket, run);
        ASSERT_TRUE(readAnswer(client, whole, nullptr));
    }
    std::size_t partly = 0;
    for (std::size_t cut : test::SweepPoints(answer.size())) {
        Entries entries = request;
        CMemorySocket socket(answer);
        socket.CutAfter(cut);
        RunFlag run{1};
        CClientRequest client(socket, run);
        std::size_t calls = 0;
        EXPECT_THROW(readAnswer(client, entries, [&] { ++calls; }), CIOException) << cut;
        std::size_t answered = 0;
        while (answered < entries.size() && entries[answered].answered) {
            ASSERT_EQ(entries[answered].bars, whole[answered].bars) << "cut " << cut;
            ++answered;
        }
        for (std::size_t k = answered; k < entries.size(); ++k) {
            ASSERT_FALSE(entries[k].answered) << "cut " << cut << ", entry " << k;
            ASSERT_FALSE(entries[k].bars) << "cut " << cut << ", entry " << k;
        }
        EXPECT_EQ(calls, answered);
        partly += answered > 0 && answered < entries.size() ? 1 : 0;
    }
    EXPECT_GT(partly, 0u) << "no cut fell between two entries";
}

TEST_F(ChartAnswersTest, ACutDailyAnswerNeverLeavesAPartialHistory) {
    Entries entries;
    for (int decimals = 0; decimals <= kMaxDecimals; ++decimals) {
        // Whole histories take more than one price block, short ones part of one.
        const std::int32_t first = decimals % 2 == 0 ? 0 : kChartToday - 60;
        entries.push_back(DailyEntry(ChartSinCode(decimals), first, kChartToday));
        entries.push_back(DailyEntry(kUnknownSinCode, 0, kChartToday));
    }
    const Bytes answer = AnswerOf(Data(), BodyOf(entries, WriteDailyBarsBody), AnswerDailyBars);
    SweepCuts(answer, entries, ReadDailyBarsAnswer);
}

TEST_F(ChartAnswersTest, ACutIntradayAnswerNeverLeavesAPartialHistory) {
    Entries entries;
    for (int decimals : test::kMinuteDecimals) {
        entries.push_back(IntradayEntry(ChartSinCode(decimals), kChartToday - 1, kChartToday, 5));
        entries.push_back(IntradayEntry(kUnknownSinCode, kChartToday, kChartToday, 30));
    }
    const Bytes answer =
        AnswerOf(Data(), BodyOf(entries, WriteIntradayBarsBody), AnswerIntradayBars);
    SweepCuts(answer, entries, ReadIntradayBarsAnswer);
}

// Answers with bars whose decimals change from block to block, as a server
// may send them; prices restart at zero with every change.
class DecimalChangeTest : public ::testing::TestWithParam<bool> {
protected:
    struct SentBar {
        DeltaBar bar;
        std::int32_t day = 0;
        int decimals = 0;
        std::int64_t units[4] = {}; // in wire order
    };

    static std::vector<SentBar> RandomBars(bool intraday) {
        std::mt19937 random(intraday ? 11 : 12);
        std::vector<SentBar> bars;
        std::int32_t day = kChartFirstDay;
        std::int32_t time = 0;
        int decimals = 2;
        for (int k = 0; k < 3000; ++k) {
            if (random() % 400 == 0) {
                decimals = static_cast<int>(random() % 7); // now and then, mostly mid-block
            }
            if (!intraday || random() % 50 == 0) {
                ++day;
                time = 0;
            }
            time += 60;
            SentBar sent;
            sent.day = day;
            sent.decimals = decimals;
            sent.bar.date = intraday ? time : day;
            sent.bar.volume = static_cast<std::int32_t>(random());
            float* prices[] = {&sent.bar.p1, &sent.bar.p2, &sent.bar.p3, &sent.bar.p4};
            for (int p = 0; p < 4; ++p) {
                sent.units[p] = 1 + static_cast<std::int64_t>(random() % kMaxPriceUnits);
                *prices[p] = PriceOfUnits(sent.units[p], decimals);
            }
            bars.push_back(sent);
        }
        return bars;
    }

    // One entry's answer with the given bars.
    static void Answer(CClientRequest& peer, bool intraday, const std::vector<SentBar>& bars) {
        if (intraday) {
            ReadIntradayBarsQueries(peer);
        } else {
            ReadDailyBarsQueries(peer);
        }
        SendChartAnswerStart(peer, 1);
        CDataOutputStream& out = peer.Out();
        const std::vector<std::int32_t> header = intraday
                                                     ? std::vector<std::int32_t>{0, 0, 1}
                                                     : std::vector<std::int32_t>{1, 0, 0, 0, 1};
        for (std::int32_t value : header) {
            out.writeLong(value);
        }
        peer.writeData();
        if (!intraday) {
            out.writeLong(0); // the block passed over
            peer.writeData();
        }
        CPriceBlockWriter writer(peer);
        for (const SentBar& sent : bars) {
            if (intraday) {
                writer.WriteOfDay(sent.day, sent.bar, sent.decimals);
            } else {
                writer.Write(sent.bar, sent.decimals);
            }
        }
        writer.Finish();
        SendChartAnswerEnd(peer);
    }

    const CScopedServerEndpoint endpoint_{GetServerEndpoint()};
};

TEST_P(DecimalChangeTest, PricesSurviveChangesOfDecimalsBetweenBlocks) {
    ASSERT_TRUE(StartSockets(2, 2));
    const bool intraday = GetParam();
    const std::vector<SentBar> sent = RandomBars(intraday);
    CChartTestServer server(
        [&](CClientRequest& peer, const RequestHeader&) { Answer(peer, intraday, sent); });
    server.BecomeServer();
    Entries entries = {DailyEntry(1, 0, sent.back().day)};
    entries[0].daysBack = -1;
    RunFlag run{1};
    const ChartRequestResult result = intraday
                                          ? RequestIntradayBars(entries, kValidCheckNumber, run)
                                          : RequestDailyBars(entries, kValidCheckNumber, run);
    server.Join();
    EXPECT_EQ(result.outcome, ChartRequestOutcome::Complete) << result.error;
    EXPECT_EQ(server.Failure(), "");
    ASSERT_TRUE(entries[0].bars);
    const PriceHistory& bars = *entries[0].bars;
    ASSERT_EQ(bars.size(), sent.size());
    for (std::size_t k = 0; k < sent.size(); ++k) {
        const SentBar& s = sent[k];
        EXPECT_EQ(bars[k].dayNumber, s.day) << k;
        EXPECT_EQ(bars[k].secondsOfDay, intraday ? s.bar.date : 0) << k;
        EXPECT_EQ(bars[k].volume, s.bar.volume) << k;
        const float received[] = {bars[k].close, bars[k].open, bars[k].low, bars[k].high};
        for (int p = 0; p < 4; ++p) {
            ASSERT_EQ(RoundToPriceUnits(received[p], s.decimals), s.units[p])
                << "bar " << k << " price " << p << " at " << s.decimals << " decimals";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(DailyAndIntraday, DecimalChangeTest, ::testing::Bool());

TEST(IntradayDaysServedTest, DaysBackReachOneDayBeyondTheCountedDays) {
    const std::int32_t today = 740000;
    EXPECT_EQ(IntradayDaysServed(-1, today).firstDay, today - 2);
    EXPECT_EQ(IntradayDaysServed(-1, today).lastDay, today);
    EXPECT_EQ(IntradayDaysServed(-3, today).firstDay, today - 4);
    EXPECT_EQ(IntradayDaysServed(5, today).firstDay, today - 1) << "no days ahead";
    EXPECT_EQ(IntradayDaysServed(-2000000000, today).firstDay, 1);
}

} // namespace
} // namespace mvr
