#pragma once

// The two price history requests as the update job runs them: each opens its
// own connection to the configured server, sends all entries in one request
// headed by the account check number, reads the answer into the entries and
// closes the connection.

#include "core/net/RunFlag.h"
#include "core/update/ChartAnswer.h"
#include "core/update/JahresChartArray.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace mvr {

struct ChartRequestProgress {
    // The body has gone out; the answer is awaited ("Loading Data ...").
    std::function<void()> answerBegins;
    // Called once for every entry answered.
    EntryAnsweredCallback entryAnswered;
};

enum class ChartRequestOutcome {
    Complete, // the whole answer arrived
    Stopped,  // the run flag was cleared
    Failed,   // a communication error ended the request
};

struct ChartRequestResult {
    ChartRequestOutcome outcome = ChartRequestOutcome::Failed;
    std::string error; // the CIOException's message when Failed
};

// Request 4. Entries answered before a failure or a stop keep their bars.
ChartRequestResult RequestDailyBars(std::span<JAHRESCHARTARRAY> entries, std::int32_t checkNumber,
                                    const RunFlag& runFlag,
                                    const ChartRequestProgress& progress = {});

// Request 7, on a connection of its own.
ChartRequestResult RequestIntradayBars(std::span<JAHRESCHARTARRAY> entries,
                                       std::int32_t checkNumber, const RunFlag& runFlag,
                                       const ChartRequestProgress& progress = {});

} // namespace mvr
