#include "core/update/PriceHistoryRequest.h"

#include "core/net/IOException.h"
#include "core/net/ServerRequest.h"
#include "core/update/ChartRequestBody.h"

namespace mvr {

namespace {

using BodyWriter = void (*)(CClientRequest&, std::span<const JAHRESCHARTARRAY>);
using AnswerReader = bool (*)(CClientRequest&, std::span<JAHRESCHARTARRAY>,
                              const EntryAnsweredCallback&);

ChartRequestResult RunChartRequest(std::uint8_t code, BodyWriter writeBody, AnswerReader readAnswer,
                                   std::span<JAHRESCHARTARRAY> entries, std::int32_t checkNumber,
                                   const RunFlag& runFlag, const ChartRequestProgress& progress) {
    ChartRequestResult result;
    try {
        CWinSocket socket;
        CChartRequest request;
        request.Open(socket, runFlag);
        request.writeHeader(code, checkNumber);
        writeBody(request, entries);
        if (progress.answerBegins) {
            progress.answerBegins();
        }
        result.outcome = readAnswer(request, entries, progress.entryAnswered)
                             ? ChartRequestOutcome::Complete
                             : ChartRequestOutcome::Stopped;
    } catch (const CIOException& e) {
        result.outcome = ChartRequestOutcome::Failed;
        result.error = e.Message();
    }
    return result;
}

} // namespace

ChartRequestResult RequestDailyBars(std::span<JAHRESCHARTARRAY> entries, std::int32_t checkNumber,
                                    const RunFlag& runFlag, const ChartRequestProgress& progress) {
    return RunChartRequest(kDailyBarsRequestCode, WriteDailyBarsBody, ReadDailyBarsAnswer, entries,
                           checkNumber, runFlag, progress);
}

ChartRequestResult RequestIntradayBars(std::span<JAHRESCHARTARRAY> entries,
                                       std::int32_t checkNumber, const RunFlag& runFlag,
                                       const ChartRequestProgress& progress) {
    return RunChartRequest(kIntradayBarsRequestCode, WriteIntradayBarsBody, ReadIntradayBarsAnswer,
                           entries, checkNumber, runFlag, progress);
}

} // namespace mvr
