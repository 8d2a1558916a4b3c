#include "core/update/ChartAnswer.h"

#include "core/net/DeltaBarSequence.h"
#include "core/net/IOException.h"

#include <algorithm>
#include <optional>

namespace mvr {

namespace {

// 31.12.9999, the last day the price files can hold.
constexpr std::int32_t kLastCalendarDay = 3652425;
constexpr std::int32_t kSecondsPerDay = 24 * 3600;

// The headers tell how many bars follow. The number only sizes the array,
// within a bound, so that a wrong one costs at most a reallocation.
constexpr std::int32_t kMaxReservedBars = 1 << 16;

void ReserveFor(PriceHistory& bars, std::int32_t announced) {
    bars.reserve(bars.size() +
                 static_cast<std::size_t>(std::clamp(announced, 0, kMaxReservedBars)));
}

void Complete(JAHRESCHARTARRAY& entry, PriceHistory&& bars,
              const EntryAnsweredCallback& entryAnswered) {
    // Thousands of histories are held until they are written: none keeps
    // more room than its bars need.
    bars.shrink_to_fit();
    entry.bars = std::move(bars);
    entry.answered = true;
    if (entryAnswered) {
        entryAnswered();
    }
}

// The first block of both answers carries one value that is not needed.
void SkipFirstBlock(CClientRequest& request) {
    if (request.readBlock()) {
        request.In().readLong();
    }
}

// The merge relies on bars in ascending order on real days; a bar that is not
// (a wrapped date step, a day block out of turn) makes the answer malformed
// rather than reach a price file.
void Append(PriceHistory& bars, const PERIODE& bar, const char* operation) {
    const bool onRealDay = bar.dayNumber >= 1 && bar.dayNumber <= kLastCalendarDay &&
                           bar.secondsOfDay >= 0 && bar.secondsOfDay < kSecondsPerDay;
    if (!onRealDay || (!bars.empty() && IsEarlierBar(bar, bars.back()))) {
        throw CIOException(operation);
    }
    bars.push_back(bar);
}

PERIODE Downloaded(std::int32_t day, std::int32_t secondsOfDay, const DeltaBar& running) {
    // Wire order of the prices: close, open, low, high.
    PERIODE bar;
    bar.secondsOfDay = secondsOfDay;
    bar.close = running.p1;
    bar.open = running.p2;
    bar.low = running.p3;
    bar.high = running.p4;
    bar.volume = running.volume;
    bar.dayNumber = day;
    bar.sourcePos = -1;
    bar.isNew = 1;
    return bar;
}

PERIODE DailyBar(const DeltaBar& running) {
    PERIODE bar = Downloaded(running.date, 0, running);
    if (bar.high == 0.0f) {
        bar.high = bar.close;
    }
    if (bar.low == 0.0f) {
        bar.low = bar.close;
    }
    if (bar.open == 0.0f) {
        bar.open = bar.close;
    }
    return bar;
}

// The price blocks of one entry up to the 24-bit zero length; false when
// stopped before it.
bool ReadDailyBars(CClientRequest& request, PriceHistory& bars) {
    CDeltaBarSequence sequence;
    CDataInputStream& in = request.In();
    int decimals = 0;
    while (request.Running()) {
        if (!request.readBlockNK(decimals)) {
            return true;
        }
        sequence.BeginBlock(decimals);
        while (request.Running() && in.HasMore()) {
            Append(bars, DailyBar(sequence.Read(in)), "readDailyBars date");
        }
    }
    return false;
}

bool ReadIntradayBars(CClientRequest& request, const JAHRESCHARTARRAY& entry, PriceHistory& bars) {
    CDeltaBarSequence sequence;
    CDataInputStream& in = request.In();
    std::optional<std::int32_t> previousDay;
    int decimals = 0;
    while (request.Running()) {
        if (!request.readBlockNK(decimals)) {
            return true;
        }
        sequence.BeginBlock(decimals);
        const std::int32_t day = in.readLong();
        if (day != previousDay) {
            sequence.RestartDate();
            previousDay = day;
        }
        const bool wanted = entry.startDay <= day && day <= entry.endDay;
        while (request.Running() && in.HasMore()) {
            const DeltaBar& running = sequence.Read(in);
            if (wanted) {
                Append(bars, Downloaded(day, running.date, running), "readIntradayBars date");
            }
        }
    }
    return false;
}

} // namespace

bool ReadDailyBarsAnswer(CClientRequest& request, std::span<JAHRESCHARTARRAY> entries,
                         const EntryAnsweredCallback& entryAnswered) {
    SkipFirstBlock(request);
    CDataInputStream& in = request.In();
    std::size_t next = 0;
    while (request.Running()) {
        if (!request.readBlock()) {
            return true;
        }
        if (next == entries.size()) {
            throw CIOException("readDailyBars entries");
        }
        in.readLong(); // SInCode, first and last day: not needed
        in.readLong();
        in.readLong();
        const std::int32_t announced = in.readLong();
        const bool barsFollow = in.readLong() != 0;
        PriceHistory bars;
        if (barsFollow) {
            ReserveFor(bars, announced);
            request.readBlock(); // its content is not needed
            if (!ReadDailyBars(request, bars)) {
                return false;
            }
        }
        Complete(entries[next++], std::move(bars), entryAnswered);
    }
    return false;
}

bool ReadIntradayBarsAnswer(CClientRequest& request, std::span<JAHRESCHARTARRAY> entries,
                            const EntryAnsweredCallback& entryAnswered) {
    SkipFirstBlock(request);
    CDataInputStream& in = request.In();
    std::size_t completed = 0;
    std::optional<std::int32_t> key; // of the entry being read
    PriceHistory bars;
    while (request.Running()) {
        if (!request.readBlock()) {
            if (key) {
                Complete(entries[completed], std::move(bars), entryAnswered);
            }
            return true;
        }
        const std::int32_t headerKey = in.readLong();
        const std::int32_t announced = in.readLong();
        const bool barsFollow = in.readLong() != 0;
        if (headerKey != key) {
            // Only the header of the next entry tells that the previous one
            // has no more blocks to come.
            if (key) {
                Complete(entries[completed++], std::move(bars), entryAnswered);
                bars = PriceHistory();
            }
            if (completed == entries.size()) {
                throw CIOException("readIntradayBars entries");
            }
            key = headerKey;
        }
        if (barsFollow) {
            if (bars.empty()) {
                ReserveFor(bars, announced);
            }
            if (!ReadIntradayBars(request, entries[completed], bars)) {
                return false;
            }
        }
    }
    return false;
}

} // namespace mvr
