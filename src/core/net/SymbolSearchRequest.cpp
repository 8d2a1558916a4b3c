#include "core/net/SymbolSearchRequest.h"

#include "core/net/ProcessState.h"
#include "core/net/ServerRequest.h"
#include "core/platform/TextUtil.h"

namespace mvr {

bool SearchInstruments(const SearchCriteria& criteria, const RunFlag& run,
                       std::vector<WATCH>& records, std::string& resultText,
                       const std::function<void()>& answerStarts,
                       const std::function<bool()>& stopEarly) {
    CWinSocket socket;
    CSearchRequest request;
    request.Open(socket, run);
    request.writeHeader(kRequestSymbolSearch, LoginNumber());
    CDataOutputStream& out = request.Out();
    out.writeByte(criteria.kindCode);
    out.writeShort(criteria.securityType);
    out.writeShort(criteria.exchange);
    out.writeString(Truncated(criteria.text, kSearchTextSize - 1));
    request.writeData();
    answerStarts();
    request.ReadSection(
        [&](CDataInputStream& in) {
            WATCH record;
            if (ReadInstrumentRecord(record, in)) {
                records.push_back(std::move(record));
            }
        },
        stopEarly);
    return request.SectionResult(resultText);
}

} // namespace mvr
