#pragma once

// The framing of the definition-file exchange, the same in both directions: a
// block with the byte count alone, then the bytes in blocks of
// min(4092, rest) each. The client uploads the definition file this way and
// the server answers with it, so both ends share these two functions.

#include "core/net/ClientRequest.h"

#include <cstdint>
#include <span>
#include <vector>

namespace mvr {

// Sends the count block and the data blocks; nothing but the count for no
// bytes. `out` must be empty. More bytes than a 32-bit count can announce
// raise CIOException before anything is sent.
void writeChunkedBytes(CClientRequest& connection, std::span<const std::uint8_t> bytes);

enum class ChunkedEnd {
    Complete,   // every announced byte arrived (none for a count of 0 or less)
    NoCount,    // the first block was empty or a status marker (In().BlockLength())
    EndedEarly, // an empty block or a marker came before the last byte
    Stopped,    // the run flag was cleared; the rest was left unread
};

struct ChunkedBytes {
    ChunkedEnd end = ChunkedEnd::NoCount;
    std::int32_t announced = 0;      // the count the peer sent
    std::vector<std::uint8_t> bytes; // only bytes that arrived, in order
    // Payload bytes beyond the announced count (and beyond the count in its
    // own block), which were not taken.
    std::int64_t surplus = 0;
};

// Receives what writeChunkedBytes sent. A count above `maxBytes` and a count
// block too short for its count raise CIOException, as do transport failures.
// Storage grows only with the bytes that arrive, whatever the count says.
ChunkedBytes readChunkedBytes(CClientRequest& connection, std::int32_t maxBytes);

} // namespace mvr
