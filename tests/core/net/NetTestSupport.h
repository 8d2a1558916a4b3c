#pragma once

#include "core/net/DataInputStream.h"
#include "core/net/DataOutputStream.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace mvr::test {

// Exhaustive sweeps run in full only when asked for (scripts/test --long).
inline bool LongTestsEnabled() {
    const char* value = std::getenv("MVR_LONG_TESTS");
    return value != nullptr && std::strcmp(value, "1") == 0;
}

// Puts a received block (header and payload bytes as they come off the wire)
// into `in` the way the block transfer does, and decodes its header.
inline bool LoadBlock(CDataInputStream& in, const std::vector<std::uint8_t>& wire) {
    in.Reset();
    std::memcpy(in.Buffer(), wire.data(), wire.size());
    return in.readSize();
}

// The bytes of `out` behind the header, as written so far.
inline std::vector<std::uint8_t> Payload(const CDataOutputStream& out) {
    return {out.Buffer() + CDataStream::kHeaderSize, out.Buffer() + out.Position()};
}

// Hands the finished block of `out` to `in` as if it had crossed the wire.
inline void Transfer(CDataOutputStream& out, CDataInputStream& in) {
    const bool hasPayload = out.writeSize();
    in.Reset();
    std::memcpy(in.Buffer(), out.Buffer(), static_cast<std::size_t>(out.BlockSize()));
    if (hasPayload) {
        in.readSize();
    }
    out.Reset();
}

} // namespace mvr::test
