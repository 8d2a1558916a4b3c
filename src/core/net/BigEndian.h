#pragma once

// Big-endian fields of the wire format: most significant byte first. Only
// the network layer uses them; everything stored on disk is little-endian.

#include <cstdint>

namespace mvr {

// The low `bytes` bytes of `value` at p, most significant first.
inline void StoreBigEndian(std::uint8_t* p, std::uint64_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) {
        p[i] = static_cast<std::uint8_t>(value);
        value >>= 8;
    }
}

inline std::uint64_t LoadBigEndian(const std::uint8_t* p, int bytes) {
    std::uint64_t value = 0;
    for (int i = 0; i < bytes; ++i) {
        value = (value << 8) | p[i];
    }
    return value;
}

inline void StoreBE32(std::uint8_t* p, std::uint32_t value) {
    StoreBigEndian(p, value, 4);
}

inline std::uint32_t LoadBE32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(LoadBigEndian(p, 4));
}

} // namespace mvr
