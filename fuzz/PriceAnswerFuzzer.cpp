// The client's readers of the price history answers on any bytes a server
// may send: daily bars (4) and intraday bars (7) with their header blocks,
// price blocks and delta-coded bars. The first byte picks the request, the
// rest is the answer as it follows the request body. A malformed answer may
// be refused, but what was taken must be whole entries in request order
// with bars in ascending order on real days.

#include "support/FuzzServerData.h"
#include "support/InputSocket.h"
#include "support/RecordChecks.h"

#include "core/net/IOException.h"
#include "core/update/ChartAnswer.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace {

using mvr::fuzz::Require;

// 31.12.9999, the last day the price files can hold.
constexpr std::int32_t kLastCalendarDay = 3652425;

void CheckEntries(const std::vector<mvr::JAHRESCHARTARRAY>& entries, int callbacks,
                  bool intraday) {
    int answered = 0;
    bool gap = false;
    for (const mvr::JAHRESCHARTARRAY& entry : entries) {
        Require(entry.answered == entry.bars.has_value());
        if (!entry.answered) {
            gap = true;
            continue;
        }
        Require(!gap);
        ++answered;
        const mvr::PriceHistory& bars = *entry.bars;
        for (std::size_t i = 0; i < bars.size(); ++i) {
            const mvr::PERIODE& bar = bars[i];
            Require(bar.dayNumber >= 1 && bar.dayNumber <= kLastCalendarDay);
            Require(bar.secondsOfDay >= 0 && bar.secondsOfDay < 24 * 3600);
            Require(intraday || bar.secondsOfDay == 0);
            Require(!intraday || (entry.startDay <= bar.dayNumber && bar.dayNumber <= entry.endDay));
            Require(i == 0 || !mvr::IsEarlierBar(bar, bars[i - 1]));
        }
    }
    Require(answered == callbacks);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const bool intraday = data[0] % 2 == 1;
    std::vector<mvr::JAHRESCHARTARRAY> entries =
        intraday ? mvr::fuzz::IntradayRequestEntries() : mvr::fuzz::DailyRequestEntries();
    mvr::fuzz::CInputSocket socket({data + 1, size - 1});
    const mvr::RunFlag run{1};
    mvr::CClientRequest request(socket, run);
    int callbacks = 0;
    const auto counted = [&] { ++callbacks; };
    try {
        if (intraday) {
            mvr::ReadIntradayBarsAnswer(request, entries, counted);
        } else {
            mvr::ReadDailyBarsAnswer(request, entries, counted);
        }
    } catch (const mvr::CIOException&) {
    }
    CheckEntries(entries, callbacks, intraday);
    return 0;
}
