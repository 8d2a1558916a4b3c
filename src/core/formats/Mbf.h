#pragma once

// Microsoft Binary Format single-precision numbers, the number form of every
// MetaStock file. Stored little-endian: byte 3 is the exponent (biased two more
// than the IEEE exponent), bit 7 of byte 2 the sign, and the low 7 bits of
// byte 2 with bytes 1 and 0 the 23 mantissa bits. Inline: every field of every
// price record passes through them.

#include "core/platform/Bytes.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace mvr {

inline constexpr std::size_t kMbfSize = 4;

namespace mbf_detail {
inline constexpr std::uint32_t kExponentBias = 2; // MBF exponent = IEEE exponent + 2
inline constexpr std::uint32_t kMantissa = 0x007FFFFF;
} // namespace mbf_detail

// The value of the four bytes read as a little-endian word. A value whose
// exponent byte is 0 is zero whatever its mantissa (files hold
// such values); exponent bytes 1 and 2 lie below the smallest normal IEEE
// single and read as zero as well. Every other value converts exactly.
inline float MbfWordToFloat(std::uint32_t word) {
    const std::uint32_t exponent = word >> 24;
    const std::uint32_t sign = (word & 0x00800000) << 8;
    const std::uint32_t bits =
        sign | ((exponent - mbf_detail::kExponentBias) << 23) | (word & mbf_detail::kMantissa);
    // Without a branch, so that whole records convert in vector registers.
    const std::uint32_t result = exponent <= mbf_detail::kExponentBias ? 0u : bits;
    float value;
    std::memcpy(&value, &result, sizeof value);
    return value;
}

inline float LoadMbf(const std::uint8_t* mbf) {
    return MbfWordToFloat(LoadLE32(mbf));
}

// Zero (of either sign), and the denormals and NaNs MBF cannot hold, become
// the word 0; magnitudes beyond MBF's range keep their sign and take the
// largest MBF magnitude.
inline std::uint32_t FloatToMbfWord(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    const std::uint32_t exponent = (bits >> 23) & 0xFF;
    const std::uint32_t sign = (bits >> 8) & 0x00800000;
    if (exponent == 0xFF && (bits & mbf_detail::kMantissa) != 0) {
        return 0; // NaN
    }
    if (exponent + mbf_detail::kExponentBias > 0xFF) {
        return 0xFF000000 | sign | mbf_detail::kMantissa;
    }
    if (exponent == 0) {
        return 0;
    }
    return ((exponent + mbf_detail::kExponentBias) << 24) | sign | (bits & mbf_detail::kMantissa);
}

inline void StoreMbf(std::uint8_t* mbf, float value) {
    StoreLE32(mbf, FloatToMbfWord(value));
}

} // namespace mvr
