#pragma once

// Explicit little-endian encoding of fixed binary records. Every record the
// system stores on disk is built field by field with these helpers, never by
// copying a C++ object's memory.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace mvr {

inline void StoreLE16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

// On little-endian hosts the 32-bit forms are one move: records of price
// files are made of them.
inline void StoreLE32(std::uint8_t* p, std::uint32_t v) {
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(p, &v, sizeof v);
        return;
    }
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
    p[2] = static_cast<std::uint8_t>(v >> 16);
    p[3] = static_cast<std::uint8_t>(v >> 24);
}

inline void StoreLE64(std::uint8_t* p, std::uint64_t v) {
    StoreLE32(p, static_cast<std::uint32_t>(v));
    StoreLE32(p + 4, static_cast<std::uint32_t>(v >> 32));
}

inline std::uint16_t LoadLE16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline std::uint32_t LoadLE32(const std::uint8_t* p) {
    if constexpr (std::endian::native == std::endian::little) {
        std::uint32_t v;
        std::memcpy(&v, p, sizeof v);
        return v;
    }
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

inline std::uint64_t LoadLE64(const std::uint8_t* p) {
    return static_cast<std::uint64_t>(LoadLE32(p)) |
           (static_cast<std::uint64_t>(LoadLE32(p + 4)) << 32);
}

inline void StoreLEInt32(std::uint8_t* p, std::int32_t v) {
    StoreLE32(p, static_cast<std::uint32_t>(v));
}

inline std::int32_t LoadLEInt32(const std::uint8_t* p) {
    return static_cast<std::int32_t>(LoadLE32(p));
}

inline void StoreLEFloat(std::uint8_t* p, float v) {
    std::uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    StoreLE32(p, bits);
}

inline float LoadLEFloat(const std::uint8_t* p) {
    const std::uint32_t bits = LoadLE32(p);
    float v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

inline void StoreLEDouble(std::uint8_t* p, double v) {
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    StoreLE64(p, bits);
}

inline double LoadLEDouble(const std::uint8_t* p) {
    const std::uint64_t bits = LoadLE64(p);
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

// Writes text into a fixed field of `size` bytes: at most size - 1 characters,
// a terminating zero, and zeros up to the end of the field.
inline void StoreFixedText(std::uint8_t* p, std::size_t size, std::string_view text) {
    const std::size_t n = text.size() < size ? text.size() : size - 1;
    std::memcpy(p, text.data(), n);
    std::memset(p + n, 0, size - n);
}

// Reads a zero-terminated text from a fixed field; a field without terminator
// yields all of its bytes, so a damaged field never reads beyond its end.
inline std::string LoadFixedText(const std::uint8_t* p, std::size_t size) {
    const void* zero = std::memchr(p, 0, size);
    const std::size_t n =
        zero ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) - p) : size;
    return std::string(reinterpret_cast<const char*>(p), n);
}

} // namespace mvr
