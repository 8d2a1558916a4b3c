// How fast a whole request 4 answer turns into price histories: 2,000
// instruments with 2,500 daily bars each, as the server's encoder sends them,
// decoded by the client's reader from memory (no network), against the floor
// of copying the same bytes once.

#include "core/net/PriceDelta.h"
#include "core/update/ChartAnswer.h"
#include "server/ChartAnswers.h"
#include "support/MemorySocket.h"

#include <benchmark/benchmark.h>
#include <cstring>
#include <random>
#include <vector>

namespace {

using mvr::CClientRequest;
using mvr::DailyBar;
using mvr::JAHRESCHARTARRAY;
using mvr::RunFlag;
using mvr::test::CMemorySocket;

constexpr int kInstruments = 2000;
constexpr int kBarsPerInstrument = 2500;
constexpr int kDecimals = 2;

std::vector<DailyBar> RandomWalk(std::mt19937& random) {
    std::vector<DailyBar> bars;
    bars.reserve(kBarsPerInstrument);
    std::int32_t close = 1000 + static_cast<std::int32_t>(random() % 200000);
    std::int32_t day = 730000;
    for (int k = 0; k < kBarsPerInstrument; ++k) {
        day += k % 5 == 4 ? 3 : 1; // weekends
        const std::int32_t spread = std::max(1, close / 50);
        const auto near = [&] {
            return std::max(1, close + static_cast<std::int32_t>(random() % (2 * spread + 1)) -
                                   spread);
        };
        DailyBar bar;
        bar.day = day;
        bar.open = near();
        close = near();
        bar.close = close;
        bar.high = std::max(bar.open, bar.close) + static_cast<std::int32_t>(random() % spread);
        bar.low = std::max(1, std::min(bar.open, bar.close) -
                                  static_cast<std::int32_t>(random() % spread));
        bar.volume = static_cast<std::int32_t>(random() % 5000000);
        bars.push_back(bar);
    }
    return bars;
}

const std::vector<std::uint8_t>& Answer() {
    static const std::vector<std::uint8_t> answer = [] {
        std::mt19937 random(42);
        CMemorySocket socket;
        RunFlag run{1};
        CClientRequest connection(socket, run);
        mvr::SendChartAnswerStart(connection, kInstruments);
        for (int k = 0; k < kInstruments; ++k) {
            const std::vector<DailyBar> bars = RandomWalk(random);
            mvr::SendDailyBarsEntry(connection, {1000 + k, 0, 4000000}, kDecimals, bars);
        }
        mvr::SendChartAnswerEnd(connection);
        return socket.Sent();
    }();
    return answer;
}

void SetCounters(benchmark::State& state) {
    state.SetItemsProcessed(state.iterations() * kInstruments * kBarsPerInstrument);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(Answer().size()));
}

// The client's side of request 4 after the body has gone out: every block
// received, every bar decoded into the entries' growable arrays.
void BM_DecodeDailyAnswer(benchmark::State& state) {
    CMemorySocket socket(Answer());
    RunFlag run{1};
    CClientRequest request(socket, run);
    for (auto _ : state) {
        state.PauseTiming();
        socket.Rewind();
        std::vector<JAHRESCHARTARRAY> entries(kInstruments);
        state.ResumeTiming();
        const bool complete = mvr::ReadDailyBarsAnswer(request, entries, nullptr);
        benchmark::DoNotOptimize(complete);
        benchmark::DoNotOptimize(entries.back().bars->back());
        state.PauseTiming();
        entries.clear(); // freeing the histories is not part of decoding
        state.ResumeTiming();
    }
    SetCounters(state);
}

// The floor: the same bytes copied once.
void BM_CopyAnswer(benchmark::State& state) {
    const std::vector<std::uint8_t>& answer = Answer();
    std::vector<std::uint8_t> target(answer.size());
    for (auto _ : state) {
        std::memcpy(target.data(), answer.data(), answer.size());
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    SetCounters(state);
}

BENCHMARK(BM_DecodeDailyAnswer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyAnswer)->Unit(benchmark::kMillisecond);

} // namespace
