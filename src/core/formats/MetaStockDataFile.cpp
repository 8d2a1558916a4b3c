#include "core/formats/MetaStockDataFile.h"

#include "core/formats/DayNumber.h"
#include "core/formats/LongDate.h"
#include "core/formats/Mbf.h"
#include "core/platform/Bytes.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace mvr {

namespace {

constexpr std::size_t kHeaderCountOffset = 2;

// Field 0 is the date; the prices follow, led by the open from 6 fields on.
constexpr std::size_t kDateField = 0;
constexpr std::size_t kFirstPriceField = 1;

bool HasOpenField(int fieldCount) {
    return fieldCount > 5;
}

// The bars of a file lie in date order, mostly in the month of the bar
// before: the calendar work (and the validation of LongDate) is done once per
// month, and the other dates of that month follow by arithmetic.
class CMonthCache {
public:
    // The day number of a packed date; 693960 (OLE date 0.0) for no date.
    std::int32_t DayNumberOfPacked(float number) {
        if (number >= packedFirst_ && number < packedEnd_) {
            return firstDay_ + (static_cast<int>(number) - static_cast<int>(packedFirst_));
        }
        const LongDate date = LongDate::FromPackedNumber(number);
        if (!date.IsDate()) {
            return kOleEpochDayNumber;
        }
        Enter(date.Year(), date.Month());
        // The month's dates in the form this file writes them. Dates with the
        // full year lie beyond 2^24, where singles skip numbers: those keep
        // the exact way.
        const int firstOfMonth = static_cast<int>(number) - (date.Day() - 1);
        const bool exact = firstOfMonth + length_ < (1 << 24);
        packedFirst_ = exact ? static_cast<float>(firstOfMonth) : 0.0f;
        packedEnd_ = exact ? static_cast<float>(firstOfMonth + length_) : 0.0f;
        return firstDay_ + date.Day() - 1;
    }

    // Stores a day number as a packed date field; four zero bytes for days
    // outside the years LongDate can hold.
    void StorePacked(std::int32_t dayNumber, std::uint8_t* mbf) {
        if (dayNumber < firstDay_ || dayNumber >= firstDay_ + length_) {
            if (dayNumber < 1) {
                StoreMbf(mbf, 0.0f);
                return;
            }
            const DATUM date = DayNumberToDatum(dayNumber);
            Enter(date.year, date.month);
            const LongDate first = LongDate::FromCalendarDate(date.year, date.month, 1);
            packedBase_ = first.IsDate() ? static_cast<int>(first.IeeePacked()) - 1 : 0;
        }
        const int packed = packedBase_ == 0 ? 0 : packedBase_ + (dayNumber - firstDay_ + 1);
        StoreMbf(mbf, static_cast<float>(packed));
    }

private:
    void Enter(int year, int month) {
        const DATUM first{1, static_cast<std::uint8_t>(month), static_cast<std::uint16_t>(year)};
        const DATUM next = month == 12 ? DATUM{1, 1, static_cast<std::uint16_t>(year + 1)}
                                       : DATUM{1, static_cast<std::uint8_t>(month + 1),
                                               static_cast<std::uint16_t>(year)};
        firstDay_ = DatumToDayNumber(first);
        length_ = DatumToDayNumber(next) - firstDay_;
    }

    std::int32_t firstDay_ = 0;
    std::int32_t length_ = 0;
    float packedFirst_ = 0.0f; // packed date of the month's first day, as stored
    float packedEnd_ = 0.0f;   // ... and of the day after its last
    int packedBase_ = 0;       // packed date of the month's day 0; 0 outside LongDate's years
};

template <typename Byte>
Byte* Field(Byte* record, std::size_t index) {
    return record + 4 * index;
}

// Records are decoded in chunks: first every field of the chunk is converted
// to a float (one loop the compiler turns into vector code), then the bars
// are built from the floats.
constexpr std::size_t kChunkRecords = 256;

void ConvertFields(const std::uint8_t* fields, std::size_t count, float* out) {
    for (std::size_t i = 0; i < count; ++i) {
        out[i] = LoadMbf(fields + 4 * i);
    }
}

// The volume field's magnitude as a whole number, saturating at 2^31 - 1.
std::int32_t VolumeOfField(float field) {
    const float magnitude = std::fabs(field);
    return magnitude < 2147483648.0f ? static_cast<std::int32_t>(magnitude) : 2147483647;
}

PERIODE BarOfFields(const float* fields, bool hasOpen, std::int32_t index, CMonthCache& months) {
    PERIODE bar;
    bar.dayNumber = months.DayNumberOfPacked(fields[kDateField]);
    std::size_t next = kFirstPriceField;
    bar.open = hasOpen ? fields[next++] : 0.0f;
    bar.high = fields[next++];
    bar.low = fields[next++];
    bar.close = fields[next++];
    bar.volume = VolumeOfField(fields[next]);
    CorrectBar(bar);
    bar.secondsOfDay = 0;
    bar.sourcePos = index;
    bar.isNew = 0;
    return bar;
}

void EncodeRecord(PERIODE bar, bool hasOpen, std::uint8_t* record, CMonthCache& months) {
    months.StorePacked(bar.dayNumber, Field(record, kDateField));
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
    const auto fieldsPerRecord = static_cast<std::size_t>(fieldCount);
    CMonthCache months;
    float fields[kChunkRecords * kMaxMetaStockFields];
    for (std::size_t first = 0; first < records; first += kChunkRecords) {
        const std::size_t count = std::min(kChunkRecords, records - first);
        ConvertFields(file.data() + length * (first + 1), count * fieldsPerRecord, fields);
        for (std::size_t i = 0; i < count; ++i) {
            history.push_back(BarOfFields(fields + i * fieldsPerRecord, hasOpen,
                                          static_cast<std::int32_t>(first + i), months));
        }
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
    CMonthCache months;
    std::uint8_t* record = image.data() + length;
    for (const PERIODE& bar : history) {
        EncodeRecord(bar, hasOpen, record, months);
        record += length;
    }
    return image;
}

} // namespace mvr
