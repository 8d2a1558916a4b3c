#pragma once

// The record the price server sends for every instrument it lists (catalogue
// contents, search hits, number lookups and translations). Besides the
// identifying items the system uses it carries ticks and many numbers that
// are parsed and kept without being used; a reader that gets one item wrong
// loses the rest of the block, so every item is read in wire order. Items
// without a known meaning are named by their position in the record.

#include "core/net/DataInputStream.h"
#include "core/net/DataStream.h"

#include <array>
#include <cstdint>
#include <string>

namespace mvr {

// Buffer sizes of the text items (text and terminator must fit).
namespace watch {
inline constexpr std::size_t kSymbolSize = 30;
inline constexpr std::size_t kItem6Size = 12;
inline constexpr std::size_t kIsinSize = 30;
inline constexpr std::size_t kItem8Size = 30;
inline constexpr std::size_t kItem9Size = 6;
inline constexpr std::size_t kNameSize = 51;
inline constexpr std::size_t kCurrencySize = 8;
inline constexpr std::size_t kItem33Size = 12;
// Item 15: raw bytes, each split into its high and its low four bits.
inline constexpr std::size_t kItem15Bytes = 15;
inline constexpr std::size_t kItem15Values = 2 * kItem15Bytes;
// Items 38 to 42, of which item 43 selects one.
inline constexpr int kItem43Choices = 5;
} // namespace watch

struct WATCH {
    std::int32_t legacyNumber = 0;  // item 1: the low half of a 64-bit value
    std::int32_t sinCode = 0;       // item 2: the instrument number
    std::uint16_t securityType = 0; // item 3: key of the security-type map
    std::uint16_t exchange = 0;     // item 4: key of the exchange map
    std::string symbol;             // item 5
    std::string item6;
    std::string isin; // item 7
    std::string item8;
    std::string item9;
    std::uint8_t item10 = 2;
    std::string name;     // item 11
    std::string currency; // item 12
    std::int32_t item13 = 255;
    std::int32_t item14 = 0;
    std::array<std::uint8_t, watch::kItem15Values> item15{};
    std::array<Tick, 3> ticks{}; // items 16 to 18
    std::int32_t item19 = 0;
    std::array<float, 4> item20to23{};
    std::uint32_t item24 = 0;
    std::uint32_t item25 = 0;
    double item26 = 0.0;
    std::int32_t item27 = 0;
    std::array<float, 3> item28to30{};
    std::uint8_t item31 = 0;
    std::int32_t item32 = 0;
    std::string item33;
    std::int32_t item34 = 0;
    float item35 = 0.0f;
    std::uint16_t item36 = 0;
    std::int32_t item37 = 0;
    // Item 43 as the choice n and the n-th of items 38 to 42 (-1 when n is
    // not 1 to 5), both truncated to 16 bits.
    std::int16_t item43Choice = 0;
    std::int16_t item43Value = 0;
    std::int32_t item44 = 0;
    std::array<float, 4> item45to48{};
    std::int32_t item49 = 0;
    std::uint8_t item50 = 0;
    float item51 = 0.0f;
    std::uint8_t item52 = 0;
    float item53 = 0.0f;
    // Optional items: read only while the block has payload left.
    std::uint32_t item54 = 0;
    double item55 = 0.0;
    double item55Millionths = 0.0; // item 55 divided by 1000000

    bool operator==(const WATCH&) const = default;
};

// A catalogue of the catalogue map: an instrument record of which only the
// number (in sinCode), the short name (in symbol) and the name are filled.
using SYMBOL = WATCH;

// Reads one record from the position of `in`. False, reading nothing, when
// the position has reached the end of the block's payload. Errors of the
// primitives propagate as CIOException.
bool ReadInstrumentRecord(WATCH& record, CDataInputStream& in);

// Truncation of a received float to a 16-bit number without undefined
// behaviour: NaN gives 0, values beyond the 32-bit range saturate before
// the low 16 bits are taken.
std::int16_t TruncateTo16Bits(float value);

} // namespace mvr
