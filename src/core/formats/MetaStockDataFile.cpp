#include "core/formats/MetaStockDataFile.h"

#include "core/formats/DayNumber.h"
#include "core/formats/LongDate.h"
#include "core/formats/Mbf.h"
#include "core/platform/Bytes.h"

#include <cmath>

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

PERIODE DecodeRecord(const std::uint8_t* record, bool hasOpen, std::int32_t index) {
    PERIODE bar;
    const LongDate date = LongDate::FromMbfPacked(Field(record, kDateField));
    bar.dayNumber = DayNumberOfStoredDate(date.OleDate());
    std::size_t next = kFirstPriceField;
    bar.open = hasOpen ? LoadMbf(Field(record, next++)) : 0.0f;
    bar.high = LoadMbf(Field(record, next++));
    bar.low = LoadMbf(Field(record, next++));
    bar.close = LoadMbf(Field(record, next++));
    bar.volume = TruncateToInt32(std::fabs(LoadMbf(Field(record, next))));
    CorrectBar(bar);
    bar.secondsOfDay = 0;
    bar.sourcePos = index;
    bar.isNew = 0;
    return bar;
}

void EncodeRecord(PERIODE bar, bool hasOpen, std::uint8_t* record) {
    const DATUM calendar = DayNumberToDatum(bar.dayNumber);
    LongDate::FromCalendarDate(calendar.year, calendar.month, calendar.day)
        .StoreMbfPacked(Field(record, kDateField));
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
    const bool hasOpen = HasOpenField(fieldCount);
    const std::uint8_t* record = file.data() + length;
    for (std::size_t i = 0; i < records; ++i, record += length) {
        history.push_back(DecodeRecord(record, hasOpen, static_cast<std::int32_t>(i)));
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
    std::uint8_t* record = image.data() + length;
    for (const PERIODE& bar : history) {
        EncodeRecord(bar, hasOpen, record);
        record += length;
    }
    return image;
}

} // namespace mvr
