#pragma once

// The 8 raw bytes that open every request: the protocol version and the
// header mark, the kind of request object, the request code and a 32-bit
// parameter (big-endian).

#include <cstddef>
#include <cstdint>
#include <span>

namespace mvr {

inline constexpr std::size_t kRequestHeaderSize = 8;
inline constexpr int kProtocolVersion = 5;

struct RequestHeader {
    int protocolVersion = kProtocolVersion;
    std::uint8_t kind = 0;
    std::uint8_t code = 0;
    std::int32_t parameter = 0;
};

void EncodeRequestHeader(const RequestHeader& header,
                         std::span<std::uint8_t, kRequestHeaderSize> bytes);
// False when the bytes do not carry the header marks.
bool DecodeRequestHeader(std::span<const std::uint8_t, kRequestHeaderSize> bytes,
                         RequestHeader* header);

// The version the client announces; the login functions set it before they
// connect.
int ProtocolVersion();
void SetProtocolVersion(int version);

} // namespace mvr
