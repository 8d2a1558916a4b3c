// How fast received price blocks turn into bars, against the floor of merely
// copying the same bytes. Both run over the same set of realistic blocks:
// daily random walks whose prices carry the given number of decimals, cut
// into blocks the way a server sends them.

#include "core/net/DeltaBarSequence.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

namespace {

using mvr::CDataInputStream;
using mvr::CDataOutputStream;
using mvr::CDataStream;
using mvr::CDeltaBarSequence;
using mvr::DeltaBar;

struct EncodedBlock {
    std::vector<std::uint8_t> wire; // header and payload
    int bars = 0;
};

constexpr int kBlocks = 64;

std::vector<EncodedBlock> MakeBlocks(int decimals) {
    std::mt19937 random(42);
    const double scale = std::pow(10.0, decimals);
    std::vector<EncodedBlock> blocks;
    CDataOutputStream out;
    CDeltaBarSequence sequence;
    sequence.BeginBlock(decimals);
    std::int64_t close = static_cast<std::int64_t>(45.0 * scale);
    std::int32_t date = 730000;
    EncodedBlock block;
    while (static_cast<int>(blocks.size()) < kBlocks) {
        date += 1 + static_cast<std::int32_t>(random() % 3);
        const std::int64_t spread = std::max<std::int64_t>(1, close / 50);
        const auto near = [&] {
            return close + static_cast<std::int64_t>(random() % (2 * spread + 1)) - spread;
        };
        close = std::max<std::int64_t>(1, near());
        const auto price = [&](std::int64_t units) {
            return static_cast<float>(static_cast<double>(units) / scale);
        };
        sequence.Write(out, DeltaBar{date, price(close), price(near()), price(near() - spread),
                                     price(near() + spread),
                                     static_cast<std::int32_t>(random() % 2000000)});
        ++block.bars;
        if (out.ShouldSend()) {
            out.writeSizeNK(static_cast<std::uint8_t>(decimals));
            block.wire.assign(out.Buffer(), out.Buffer() + out.BlockSize());
            blocks.push_back(block);
            block = {};
            out.Reset();
        }
    }
    return blocks;
}

void SetCounters(benchmark::State& state, const std::vector<EncodedBlock>& blocks) {
    std::int64_t bars = 0;
    std::int64_t bytes = 0;
    for (const EncodedBlock& block : blocks) {
        bars += block.bars;
        bytes += static_cast<std::int64_t>(block.wire.size());
    }
    state.SetItemsProcessed(state.iterations() * bars);
    state.SetBytesProcessed(state.iterations() * bytes);
    state.counters["bars_per_block"] =
        static_cast<double>(bars) / static_cast<double>(blocks.size());
}

// What a client does with each received price block: the stream is reset,
// the bytes land in it, the header is checked, every bar is decoded.
void BM_DecodeBars(benchmark::State& state) {
    const auto blocks = MakeBlocks(static_cast<int>(state.range(0)));
    CDataInputStream in;
    for (auto _ : state) {
        CDeltaBarSequence sequence;
        for (const EncodedBlock& block : blocks) {
            in.Reset();
            std::memcpy(in.Buffer(), block.wire.data(), block.wire.size());
            int decimals = 0;
            in.readSizeNK(decimals);
            sequence.BeginBlock(decimals);
            while (in.HasMore()) {
                benchmark::DoNotOptimize(sequence.Read(in));
            }
        }
    }
    SetCounters(state, blocks);
}

// The floor: copying the same bytes into the same buffer.
void BM_CopyBlocks(benchmark::State& state) {
    const auto blocks = MakeBlocks(static_cast<int>(state.range(0)));
    CDataInputStream in;
    for (auto _ : state) {
        for (const EncodedBlock& block : blocks) {
            std::memcpy(in.Buffer(), block.wire.data(), block.wire.size());
            benchmark::DoNotOptimize(in.Buffer());
            benchmark::ClobberMemory();
        }
    }
    SetCounters(state, blocks);
}

BENCHMARK(BM_DecodeBars)->Arg(2)->Arg(6);
BENCHMARK(BM_CopyBlocks)->Arg(2)->Arg(6);

} // namespace
