#include "core/formats/MetaStockDataFile.h"

#include "core/formats/Mbf.h"
#include "core/formats/MetaStockRecordDecoder.h"
#include "core/formats/PackedDateCache.h"
#include "core/platform/Bytes.h"

#include <algorithm>
#include <array>

namespace mvr {

namespace {

constexpr std::size_t kHeaderCountOffset = 2;

// Field 0 is the date; the prices follow, led by the open from 6 fields on.
constexpr std::size_t kDateField = 0;
constexpr std::size_t kFirstPriceField = 1;

bool HasOpenField(int fieldCount) {
    return fieldCount > 5;
}

template <typename Byte>
Byte* Field(Byte* record, std::size_t index) {
    return record + 4 * index;
}

void EncodeRecord(PERIODE bar, bool hasOpen, std::uint8_t* record, CPackedDateWriter& dates) {
    dates.Store(bar.dayNumber, Field(record, kDateField));
    CorrectBar(bar);
    std::size_t next = kFirstPriceField;
    if (hasOpen) {
        StoreMbf(Field(record, next++), bar.open);
    }
    StoreMbf(Field(record, next++), bar.high);
    StoreMbf(Field(record, next++), bar.low);
    StoreMbf(Field(record, next++), bar.close);
    StoreMbf(Field(record, next), static_cast<float>(bar.volume));
    // Open interest and the eighth field stay zero.
}

// Bars are decoded into a small block on the stack and appended from there:
// the history then grows without default-constructing its bars first.
constexpr std::size_t kBlockBars = 128;

} // namespace

bool IsMetaStockFieldCount(int fieldCount) {
    return fieldCount >= kMinMetaStockFields && fieldCount <= kMaxMetaStockFields;
}

std::optional<PriceHistory> DecodeMetaStockFile(std::span<const std::uint8_t> file,
                                                int fieldCount) {
    if (!IsMetaStockFieldCount(fieldCount)) {
        return std::nullopt;
    }
    const std::size_t length = MetaStockRecordLength(fieldCount);
    PriceHistory history;
    if (file.size() <= length) {
        return history;
    }
    const std::size_t records = (file.size() - length) / length;
    if (records > kMaxMetaStockRecordsRead) {
        return std::nullopt;
    }
    history.reserve(records);
    CPackedDateReader dates;
    std::array<PERIODE, kBlockBars> block;
    for (std::size_t first = 0; first < records; first += kBlockBars) {
        const std::size_t count = std::min(kBlockBars, records - first);
        DecodeMetaStockRecords(file.subspan(length * (first + 1)), fieldCount, count,
                               static_cast<std::int32_t>(first), dates, block.data());
        history.insert(history.end(), block.begin(), block.begin() + count);
    }
    return history;
}

std::optional<ByteBuffer> EncodeMetaStockFile(const PriceHistory& history, int fieldCount) {
    if (!IsMetaStockFieldCount(fieldCount) || history.size() > kMaxMetaStockBars) {
        return std::nullopt;
    }
    ByteBuffer image;
    if (history.empty()) {
        return image;
    }
    const std::size_t length = MetaStockRecordLength(fieldCount);
    image.assign(length * (history.size() + 1), 0);
    StoreLE16(image.data() + kHeaderCountOffset, static_cast<std::uint16_t>(history.size() + 1));
    const bool hasOpen = HasOpenField(fieldCount);
    CPackedDateWriter dates;
    std::uint8_t* record = image.data() + length;
    for (const PERIODE& bar : history) {
        EncodeRecord(bar, hasOpen, record, dates);
        record += length;
    }
    return image;
}

} // namespace mvr
