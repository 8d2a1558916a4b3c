#include "core/update/ChartRequestBody.h"

namespace mvr {

namespace {

constexpr int kDailyUnusedFields = 3;
constexpr int kIntradayUnusedFields = 4;

template <typename WriteEntry>
void WriteBody(CClientRequest& request, std::span<const JAHRESCHARTARRAY> entries,
               WriteEntry&& writeEntry) {
    CDataOutputStream& out = request.Out();
    out.writeLong(static_cast<std::int32_t>(entries.size()));
    request.writeData();
    for (const JAHRESCHARTARRAY& entry : entries) {
        writeEntry(out, entry);
        if (out.ShouldSend()) {
            request.writeData();
        }
    }
    request.writeBlock();
}

void WriteZeros(CDataOutputStream& out, int count) {
    for (int k = 0; k < count; ++k) {
        out.writeLong(0);
    }
}

} // namespace

void WriteDailyBarsBody(CClientRequest& request, std::span<const JAHRESCHARTARRAY> entries) {
    WriteBody(request, entries, [](CDataOutputStream& out, const JAHRESCHARTARRAY& entry) {
        out.writeLong(entry.SInCode);
        out.writeLong(entry.startDay);
        out.writeLong(entry.endDay);
        WriteZeros(out, kDailyUnusedFields);
    });
}

void WriteIntradayBarsBody(CClientRequest& request, std::span<const JAHRESCHARTARRAY> entries) {
    WriteBody(request, entries, [](CDataOutputStream& out, const JAHRESCHARTARRAY& entry) {
        out.writeLong(entry.SInCode);
        out.writeLongSigned(entry.daysBack);
        out.writeLong(entry.interval);
        WriteZeros(out, kIntradayUnusedFields);
    });
}

} // namespace mvr
