#pragma once

// The MetaStock data file F<n>.DAT / F<n>.MWD: fixed records of 4 bytes per
// field, record 0 a header whose bytes 2..3 count the data records plus one,
// then one record per bar in date order, every field an MBF number. A daily
// series (and a weekly or monthly one) has the layout
//   5 fields: date, high, low, close, volume
//   6 fields: date, open, high, low, close, volume
//   7 fields: ... volume, open interest
//   8 fields: ... open interest, one more field
// An intraday series (period 'I' in its index record) has the time of the bar
// as HHMMSS in field 1 and the daily layout of one field less after it:
//   6 fields: date, time, high, low, close, volume
//   7 fields: date, time, open, high, low, close, volume
//   8 fields: date, time, open, high, low, close, volume, open interest
// The date is the packed date YYYMMDD. Open interest and the eighth field are
// written as 0 and ignored when reading.

#include "core/formats/Periode.h"
#include "core/formats/StoredTail.h"
#include "core/platform/FileSystem.h"

#include <cstdint>
#include <optional>
#include <span>

namespace mvr {

class CRandomAccessFile;

inline constexpr int kMinMetaStockFields = 5;
inline constexpr int kMaxMetaStockFields = 8;

// The header count is 16 bits wide and read as signed by some programs.
inline constexpr std::size_t kMaxMetaStockBars = 32767;

// Larger files cannot have been written by a MetaStock program (the header
// cannot count their records) and are refused as damaged.
inline constexpr std::size_t kMaxMetaStockRecordsRead = 65535;

bool IsMetaStockFieldCount(int fieldCount);

struct MetaStockLayout {
    // A daily layout converts from its field count.
    MetaStockLayout(int fields, bool withTime = false) : fieldCount(fields), hasTime(withTime) {}

    int fieldCount;
    bool hasTime; // an intraday series: field 1 holds the time of the bar

    bool operator==(const MetaStockLayout&) const = default;
};

// 5..8 fields, at least 6 with a time field (an intraday record without a
// volume is no layout chart programs write).
bool IsMetaStockLayout(const MetaStockLayout& layout);

// The open is stored from 6 fields on, not counting the time field.
bool HasOpenField(const MetaStockLayout& layout);

// Record length in bytes for a valid field count.
inline std::size_t MetaStockRecordLength(int fieldCount) {
    return 4 * static_cast<std::size_t>(fieldCount);
}

// The time field of an intraday record: the time of day as the number HHMMSS.
float MetaStockTimeField(std::int32_t secondsOfDay);

// Seconds after midnight of a time field; -1 when it holds no time of day
// (negative, fractional, 24 hours or more, minutes or seconds above 59).
std::int32_t SecondsOfMetaStockTime(float field);

// The bars of a whole file image. A trailing partial record is dropped. Bars
// are corrected (CorrectBar) unless read as stored, and numbered by their
// record index. Nothing when the layout is invalid, the file holds more
// records than any MetaStock file can count, or a time field holds no time
// of day (the file is damaged).
std::optional<PriceHistory> DecodeMetaStockFile(std::span<const std::uint8_t> file,
                                                const MetaStockLayout& layout,
                                                BarReading reading = BarReading::Corrected);

// The file image of a history: empty for an empty history, otherwise the
// header and one corrected record per bar (the history itself is not
// changed). Nothing for an invalid layout or more than 32767 bars.
std::optional<ByteBuffer> EncodeMetaStockFile(const PriceHistory& history,
                                              const MetaStockLayout& layout);

// The records of `bars` without a header, for appending to a file.
ByteBuffer EncodeMetaStockRecords(std::span<const PERIODE> bars, const MetaStockLayout& layout);

// The tail of a file for appending to it, reaching back before `from`: the
// header's first four bytes stand for the bytes an append rewrites (the record
// count). Nothing when the file is not one an append may extend: no bar, a
// length that is no whole number of records, a header that does not count the
// records the file holds, a time field that holds no time of day, or a read
// that failed.
std::optional<StoredTail> ReadMetaStockTail(const CRandomAccessFile& file,
                                            const MetaStockLayout& layout, const PERIODE& from);

// The header bytes of StoredTail::header once the file holds `bars` bars.
ByteBuffer MetaStockHeaderFor(std::span<const std::uint8_t> header, std::size_t bars);

} // namespace mvr
