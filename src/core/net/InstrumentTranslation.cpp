#include "core/net/InstrumentTranslation.h"

#include "core/net/InstrumentRecord.h"
#include "core/net/ServerRequest.h"

#include <vector>

namespace mvr {

void TranslateInstrumentNumbers(TranslationMap& map, std::int32_t checkNumber, const RunFlag& run) {
    CWinSocket socket;
    CSearchRequest request;
    request.Open(socket, run);
    request.writeHeader(kRequestTranslateNumbers, checkNumber);
    // The keys are taken first: the answer adds keys to the same map.
    std::vector<std::int32_t> keys;
    keys.reserve(map.size());
    for (const auto& entry : map) {
        keys.push_back(entry.first);
    }
    request.Out().writeLong(static_cast<std::int32_t>(keys.size()));
    request.writeBlock();
    for (const std::int32_t key : keys) {
        request.Out().writeLong(key);
        if (request.Out().ShouldSend()) {
            request.writeBlock();
        }
    }
    request.writeBlock();
    request.readBlock();
    request.ReadSection([&](CDataInputStream& in) {
        WATCH record;
        if (ReadInstrumentRecord(record, in)) {
            map[record.legacyNumber] = record.sinCode;
        }
    });
}

} // namespace mvr
