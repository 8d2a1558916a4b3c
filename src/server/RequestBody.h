#pragma once

// Strict reading of request bodies. The stream primitives test their room
// against the buffer only; a server must not read past what the client sent,
// nor believe a count from the wire beyond a sane limit. Every violation is a
// CIOException that names it, which closes the connection.

#include "core/net/ClientRequest.h"

#include <cstdint>
#include <functional>

namespace mvr {

// Raises unless the position still lies within the block's payload.
void RequireWithinPayload(const CDataInputStream& in, const char* what);
// Raises unless `bytes` more bytes of payload follow the position.
void RequirePayload(const CDataInputStream& in, std::int32_t bytes, const char* what);

// A count of the body that must lie in [0, limit].
std::int32_t ReadCount(CDataInputStream& in, std::int32_t limit, const char* what);

// Reads `count` items that follow in blocks of their own, each by
// `readItem(in)`: a block may not end early, carry nothing, or hold more
// items than announced.
void ReadCountedItems(CClientRequest& connection, std::int32_t count,
                      const std::function<void(CDataInputStream&)>& readItem, const char* what);

} // namespace mvr
