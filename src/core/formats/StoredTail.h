#pragma once

// What an update needs of a stored price file to append bars to it without
// reading the whole file: its last bars, its first bar, its length and the
// bytes at its start that an append changes.

#include "core/formats/Periode.h"

#include <cstdint>
#include <vector>

namespace mvr {

struct StoredTail {
    // The file's last bars, in file order, from the last bar that lies before
    // the bar the read was asked to reach back to (or from the file's first
    // bar when none does). Never empty.
    PriceHistory bars;
    PERIODE first;                    // the file's first bar
    std::uint64_t length = 0;         // the file's length in bytes
    std::vector<std::uint8_t> header; // the bytes from offset 0 an append rewrites; may be empty
};

} // namespace mvr
