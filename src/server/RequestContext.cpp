#include "server/RequestContext.h"

#include "server/InstrumentRecordWriter.h"

namespace mvr {

namespace {

// Readers demand a few bytes of room beyond what they consume (a double
// escaped to one byte still needs eight), so blocks keep this reserve.
constexpr std::int32_t kReaderSlack = 8;

} // namespace

void CRequestContext::MakeRoom(std::int32_t bytes) {
    CDataOutputStream& out = Out();
    if (out.ShouldSend() || out.Position() + bytes + kReaderSlack > CDataStream::kCapacity) {
        connection_.writeBlock();
    }
}

std::int32_t CRequestContext::EndSection(std::int32_t marker) {
    const std::int32_t sent = faults_.sectionMarker != 0 ? faults_.sectionMarker : marker;
    connection_.writeBlock();
    connection_.writeEndOfSection(sent);
    return sent;
}

void CRequestContext::WriteRecords(std::size_t count,
                                   const std::function<WATCH(std::size_t)>& recordAt) {
    for (std::size_t i = 0; i < count; ++i) {
        MakeRoom(kMaxInstrumentRecordBytes);
        WriteInstrumentRecord(Out(), recordAt(i), i + 1 < count);
    }
}

void CRequestContext::WriteRecords(const std::vector<const ServerInstrument*>& instruments) {
    WriteRecords(instruments.size(),
                 [&](std::size_t i) { return InstrumentRecordOf(*instruments[i]); });
}

} // namespace mvr
