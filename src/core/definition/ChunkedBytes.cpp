#include "core/definition/ChunkedBytes.h"

#include "core/net/IOException.h"

#include <algorithm>
#include <limits>

namespace mvr {

namespace {

constexpr std::int32_t kCountBytes = 4;

} // namespace

void writeChunkedBytes(CClientRequest& connection, std::span<const std::uint8_t> bytes) {
    if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        throw CIOException("writeChunkedBytes Size");
    }
    CDataOutputStream& out = connection.Out();
    out.writeLong(static_cast<std::int32_t>(bytes.size()));
    connection.writeBlock();
    for (std::size_t sent = 0; sent < bytes.size();) {
        const std::size_t chunk =
            std::min(bytes.size() - sent, static_cast<std::size_t>(CDataStream::kMaxPayload));
        out.writeBlob(bytes.data() + sent, static_cast<std::int32_t>(chunk));
        connection.writeBlock();
        sent += chunk;
    }
}

ChunkedBytes readChunkedBytes(CClientRequest& connection, std::int32_t maxBytes) {
    ChunkedBytes result;
    if (!connection.Running()) {
        result.end = ChunkedEnd::Stopped;
        return result;
    }
    if (!connection.readBlock()) {
        return result; // NoCount
    }
    CDataInputStream& in = connection.In();
    if (in.BlockLength() < kCountBytes) {
        throw CIOException("readChunkedBytes Count");
    }
    result.announced = in.readLong();
    result.surplus = in.BlockLength() - kCountBytes;
    if (result.announced > maxBytes) {
        throw CIOException("readChunkedBytes Size");
    }
    const std::size_t wanted =
        result.announced > 0 ? static_cast<std::size_t>(result.announced) : 0;
    while (result.bytes.size() < wanted) {
        if (!connection.Running()) {
            result.end = ChunkedEnd::Stopped;
            return result;
        }
        if (!connection.readBlock()) {
            result.end = ChunkedEnd::EndedEarly;
            return result;
        }
        // Only bytes the block carries: a short block never yields the zeros
        // behind its payload.
        const std::int32_t length = in.BlockLength();
        const auto take = static_cast<std::int32_t>(
            std::min<std::size_t>(static_cast<std::size_t>(length), wanted - result.bytes.size()));
        const std::size_t at = result.bytes.size();
        result.bytes.resize(at + static_cast<std::size_t>(take));
        in.readBlob(result.bytes.data() + at, take);
        result.surplus += length - take;
    }
    result.end = ChunkedEnd::Complete;
    return result;
}

} // namespace mvr
