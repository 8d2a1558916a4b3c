// The client's reader of instrument records on any block a server may send:
// records are read until the block ends or a primitive refuses; nothing may
// read outside the buffer or crash.

#include "core/net/InstrumentRecord.h"
#include "core/net/IOException.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    mvr::CDataInputStream in;
    const std::size_t payload = size < static_cast<std::size_t>(mvr::CDataStream::kMaxPayload)
                                    ? size
                                    : mvr::CDataStream::kMaxPayload;
    in.Buffer()[0] = static_cast<std::uint8_t>(payload >> 24);
    in.Buffer()[1] = static_cast<std::uint8_t>(payload >> 16);
    in.Buffer()[2] = static_cast<std::uint8_t>(payload >> 8);
    in.Buffer()[3] = static_cast<std::uint8_t>(payload);
    std::memcpy(in.Buffer() + mvr::CDataStream::kHeaderSize, data, payload);
    if (!in.readSize()) {
        return 0;
    }
    try {
        mvr::WATCH record;
        while (mvr::ReadInstrumentRecord(record, in)) {
        }
    } catch (const mvr::CIOException&) {
    }
    return 0;
}
