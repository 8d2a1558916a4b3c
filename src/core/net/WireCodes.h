#pragma once

// Constants of the variable-length codes, shared by the writers and the
// readers so that both ends agree on every boundary.

#include <cstdint>

namespace mvr::wire {

// Unsigned compact code: two length bits, then 6, 14, 22 or 30 value bits.
inline constexpr std::uint32_t kMaxLongCompress = (1u << 30) - 1;
// Signed compact code: two length bits, a sign bit, then 5 to 29 magnitude bits.
inline constexpr std::uint32_t kMaxSignedMagnitude = (1u << 29) - 1;
inline constexpr std::uint8_t kSignedNegativeBit = 0x20;

// A float or double whose first byte would be this is sent as the one byte: 0.0.
inline constexpr std::uint8_t kZeroEscape = 0x80;

// Volume code, by the first byte: 0xxxxxxx one byte (bit 6 = hundreds),
// 10xxxxxx two bytes (bit 13 = hundreds; values below 64 are negative),
// 110xxxxx three bytes (bit 20 = hundreds), 111xxxxx four bytes (bit 28).
inline constexpr std::uint32_t kVolume1Mask = 0x3F;
inline constexpr std::uint32_t kVolume1Hundreds = 0x40;
inline constexpr std::uint32_t kVolume2Mask = 0x1FFF;
inline constexpr std::uint32_t kVolume2Hundreds = 0x2000;
inline constexpr std::uint32_t kVolume2Tag = 0x8000;
inline constexpr std::uint32_t kVolume2NegativeBelow = 64;
inline constexpr std::uint32_t kVolume3Mask = 0xFFFFF;
inline constexpr std::uint32_t kVolume3Hundreds = 0x100000;
inline constexpr std::uint32_t kVolume3Tag = 0xC00000;
inline constexpr std::uint32_t kVolume4Mask = 0x0FFFFFFF;
inline constexpr std::uint32_t kVolume4Hundreds = 0x10000000;
inline constexpr std::uint32_t kVolume4Tag = 0xE0000000;

// Tick code: the single byte 0x40 stands for an all-zero tick. The top bit of
// the price word flags a tick number beyond two plain bytes.
inline constexpr std::uint8_t kEmptyTick = 0x40;
inline constexpr std::uint32_t kTickExtensionFlag = 0x80000000u;
inline constexpr std::uint32_t kTickExtensionAdd = 0x10000;
inline constexpr std::uint32_t kMaxTickNumber = (1u << 23) - 1;

// Room the readers demand before they look at a code.
inline constexpr std::int32_t kLongCompressRoom = 4;
inline constexpr std::int32_t kLongSignedRoom = 4;
inline constexpr std::int32_t kVolumeRoom = 4;
inline constexpr std::int32_t kTickRoom = 6;
inline constexpr std::int32_t kCompressRoom = 24;

} // namespace mvr::wire
