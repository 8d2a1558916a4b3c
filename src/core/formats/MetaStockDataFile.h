#pragma once

// The MetaStock data file F<n>.DAT / F<n>.MWD: fixed records of 4 bytes per
// field, record 0 a header whose bytes 2..3 count the data records plus one,
// then one record per bar in date order, every field an MBF number:
//   5 fields: date, high, low, close, volume
//   6 fields: date, open, high, low, close, volume
//   7 fields: ... volume, open interest
//   8 fields: ... open interest, one more field
// The date is the packed date YYYMMDD. Open interest and the eighth field are
// written as 0 and ignored when reading.

#include "core/formats/Periode.h"
#include "core/platform/FileSystem.h"

#include <cstdint>
#include <optional>
#include <span>

namespace mvr {

inline constexpr int kMinMetaStockFields = 5;
inline constexpr int kMaxMetaStockFields = 8;

// The header count is 16 bits wide and read as signed by some programs.
inline constexpr std::size_t kMaxMetaStockBars = 32767;

// Larger files cannot have been written by a MetaStock program (the header
// cannot count their records) and are refused as damaged.
inline constexpr std::size_t kMaxMetaStockRecordsRead = 65535;

bool IsMetaStockFieldCount(int fieldCount);

// Record length in bytes for a valid field count.
inline std::size_t MetaStockRecordLength(int fieldCount) {
    return 4 * static_cast<std::size_t>(fieldCount);
}

// The bars of a whole file image. A trailing partial record is dropped. Bars
// are corrected (CorrectBar) and numbered by their record index. Nothing when
// the field count is invalid or the file holds more records than any
// MetaStock file can count.
std::optional<PriceHistory> DecodeMetaStockFile(std::span<const std::uint8_t> file, int fieldCount);

// The file image of a history: empty for an empty history, otherwise the
// header and one corrected record per bar (the history itself is not
// changed). Nothing for an invalid field count or more than 32767 bars.
std::optional<ByteBuffer> EncodeMetaStockFile(const PriceHistory& history, int fieldCount);

} // namespace mvr
