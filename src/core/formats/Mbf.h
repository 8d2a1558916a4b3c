#pragma once

// Microsoft Binary Format single-precision numbers, the number form of every
// MetaStock file. Stored little-endian: byte 3 is the exponent (biased two more
// than the IEEE exponent), bit 7 of byte 2 the sign, and the low 7 bits of
// byte 2 with bytes 1 and 0 the 23 mantissa bits.

#include <cstddef>
#include <cstdint>

namespace mvr {

inline constexpr std::size_t kMbfSize = 4;

// A value whose exponent byte is 0 is zero whatever its mantissa (files hold
// such values); exponent bytes 1 and 2 lie below the smallest normal IEEE
// single and read as zero as well. Every other value converts exactly.
float LoadMbf(const std::uint8_t* mbf);

// Zero (of either sign), and the denormals and NaNs MBF cannot hold, are
// written as four zero bytes; magnitudes beyond MBF's range keep their sign
// and take the largest MBF magnitude.
void StoreMbf(std::uint8_t* mbf, float value);

} // namespace mvr
