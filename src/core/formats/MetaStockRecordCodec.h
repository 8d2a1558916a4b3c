#pragma once

// Consecutive MetaStock data records and their bars (layouts in
// MetaStockDataFile.h), in both directions. Every field of every record of
// every price file read or written passes here, so the record layout is fixed
// at compile time for each of the seven layouts, and records are decoded four
// at a time in vector registers where the processor has them (SSE2, part of
// every x86-64 processor); the records that do not fill a group of four,
// every record elsewhere, and every record read as stored take the same steps
// one by one. Both ways give the same bars, bit for bit.

#include "core/formats/MetaStockDataFile.h"
#include "core/formats/PackedDateCache.h"
#include "core/formats/Periode.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace mvr {

// Decodes `count` records of a valid `layout` into out[0..count): not new,
// numbered from `firstIndex`, corrected (CorrectBar) unless read as stored,
// daily bars at time 0. `records` starts at the first of them and runs to the
// end of the file image, which must hold the `count` records: a group of four
// may look at up to 12 bytes past its last record, but never past the end of
// `records`. False when a time field holds no time of day.
bool DecodeMetaStockRecords(std::span<const std::uint8_t> records, const MetaStockLayout& layout,
                            std::size_t count, std::int32_t firstIndex, BarReading reading,
                            CPackedDateReader& dates, PERIODE* out);

// Encodes the bars as consecutive records of a valid `layout` from `records`
// on, which must hold room for them: each bar corrected (CorrectBar) on the
// way, its time in an intraday layout. The fields after the volume (open
// interest and the eighth) are written as zero.
void StoreMetaStockRecords(std::span<const PERIODE> bars, const MetaStockLayout& layout,
                           CPackedDateWriter& dates, std::uint8_t* records);

} // namespace mvr
