#include "core/formats/MetaStockDataFile.h"

#include "core/formats/Mbf.h"
#include "core/formats/MetaStockRecordCodec.h"
#include "core/formats/PackedDateCache.h"
#include "core/platform/Bytes.h"
#include "core/platform/RandomAccessFile.h"

#include <algorithm>
#include <array>

namespace mvr {

namespace {

constexpr std::size_t kHeaderCountOffset = 2;

constexpr std::int32_t kSecondsPerDay = 24 * 3600;

// Bars are decoded into a small block on the stack and appended from there:
// the history then grows without default-constructing its bars first (which
// measured slower than this copy from the first cache level).
constexpr std::size_t kBlockBars = 128;

// Records read first from a file's end for an append: a week's download
// reaches back a few days.
constexpr std::uint64_t kTailRecords = 32;

// The bars of `count` consecutive records starting at `records`, numbered from
// `firstIndex`; nothing when a time field holds no time of day.
std::optional<PriceHistory> DecodeRecords(std::span<const std::uint8_t> records,
                                          const MetaStockLayout& layout, std::size_t count,
                                          std::int32_t firstIndex, BarReading reading) {
    const std::size_t length = MetaStockRecordLength(layout.fieldCount);
    PriceHistory history;
    history.reserve(count);
    CPackedDateReader dates;
    std::array<PERIODE, kBlockBars> block;
    for (std::size_t first = 0; first < count; first += kBlockBars) {
        const std::size_t blockCount = std::min(kBlockBars, count - first);
        if (!DecodeMetaStockRecords(records.subspan(length * first), layout, blockCount,
                                    firstIndex + static_cast<std::int32_t>(first), reading, dates,
                                    block.data())) {
            return std::nullopt;
        }
        history.insert(history.end(), block.begin(), block.begin() + blockCount);
    }
    return history;
}

void EncodeRecords(std::span<const PERIODE> bars, const MetaStockLayout& layout,
                   std::uint8_t* records) {
    CPackedDateWriter dates;
    StoreMetaStockRecords(bars, layout, dates, records);
}

} // namespace

bool IsMetaStockFieldCount(int fieldCount) {
    return fieldCount >= kMinMetaStockFields && fieldCount <= kMaxMetaStockFields;
}

bool IsMetaStockLayout(const MetaStockLayout& layout) {
    return IsMetaStockFieldCount(layout.fieldCount) &&
           (!layout.hasTime || layout.fieldCount > kMinMetaStockFields);
}

bool HasOpenField(const MetaStockLayout& layout) {
    return layout.fieldCount - (layout.hasTime ? 1 : 0) > kMinMetaStockFields;
}

float MetaStockTimeField(std::int32_t secondsOfDay) {
    const std::int32_t seconds = std::clamp(secondsOfDay, 0, kSecondsPerDay - 1);
    return static_cast<float>(seconds / 3600 * 10000 + seconds / 60 % 60 * 100 + seconds % 60);
}

std::int32_t SecondsOfMetaStockTime(float field) {
    if (!(field >= 0.0f && field < 240000.0f)) {
        return -1;
    }
    const auto hhmmss = static_cast<std::int32_t>(field);
    const std::int32_t minutes = hhmmss / 100 % 100;
    const std::int32_t seconds = hhmmss % 100;
    if (static_cast<float>(hhmmss) != field || minutes > 59 || seconds > 59) {
        return -1;
    }
    return hhmmss / 10000 * 3600 + minutes * 60 + seconds;
}

std::optional<PriceHistory> DecodeMetaStockFile(std::span<const std::uint8_t> file,
                                                const MetaStockLayout& layout, BarReading reading) {
    if (!IsMetaStockLayout(layout)) {
        return std::nullopt;
    }
    const std::size_t length = MetaStockRecordLength(layout.fieldCount);
    if (file.size() <= length) {
        return PriceHistory();
    }
    const std::size_t records = (file.size() - length) / length;
    if (records > kMaxMetaStockRecordsRead) {
        return std::nullopt;
    }
    return DecodeRecords(file.subspan(length), layout, records, 0, reading);
}

std::optional<ByteBuffer> EncodeMetaStockFile(const PriceHistory& history,
                                              const MetaStockLayout& layout) {
    if (!IsMetaStockLayout(layout) || history.size() > kMaxMetaStockBars) {
        return std::nullopt;
    }
    ByteBuffer image;
    if (history.empty()) {
        return image;
    }
    const std::size_t length = MetaStockRecordLength(layout.fieldCount);
    image.assign(length * (history.size() + 1), 0);
    StoreLE16(image.data() + kHeaderCountOffset, static_cast<std::uint16_t>(history.size() + 1));
    EncodeRecords(history, layout, image.data() + length);
    return image;
}

ByteBuffer EncodeMetaStockRecords(std::span<const PERIODE> bars, const MetaStockLayout& layout) {
    ByteBuffer records(MetaStockRecordLength(layout.fieldCount) * bars.size(), 0);
    EncodeRecords(bars, layout, records.data());
    return records;
}

std::optional<StoredTail> ReadMetaStockTail(const CRandomAccessFile& file,
                                            const MetaStockLayout& layout, const PERIODE& from) {
    const auto size = file.RegularFileSize();
    if (!IsMetaStockLayout(layout) || !size) {
        return std::nullopt;
    }
    const std::size_t length = MetaStockRecordLength(layout.fieldCount);
    if (*size % length != 0 || *size < 2 * length) {
        return std::nullopt;
    }
    const std::uint64_t records = *size / length - 1;
    const auto head = file.ReadAt(0, 2 * length);
    if (records > kMaxMetaStockBars || !head || head->size() != 2 * length ||
        LoadLE16(head->data() + kHeaderCountOffset) != records + 1) {
        return std::nullopt;
    }
    auto first =
        DecodeRecords(std::span(*head).subspan(length), layout, 1, 0, BarReading::Corrected);
    if (!first) {
        return std::nullopt;
    }
    StoredTail tail;
    tail.first = first->front();
    tail.length = *size;
    tail.header.assign(head->begin(), head->begin() + kHeaderCountOffset + 2);
    // Reach back until a bar before `from` is in hand, or the file's start.
    for (std::uint64_t count = std::min<std::uint64_t>(records, kTailRecords);;
         count = std::min(records, count * 8)) {
        const std::uint64_t firstRecord = records - count;
        const auto bytes = file.ReadAt(length * (firstRecord + 1), length * count);
        if (!bytes || bytes->size() != length * count) {
            return std::nullopt;
        }
        auto bars = DecodeRecords(*bytes, layout, count, static_cast<std::int32_t>(firstRecord),
                                  BarReading::Corrected);
        if (!bars) {
            return std::nullopt;
        }
        tail.bars = std::move(*bars);
        if (count == records || IsEarlierBar(tail.bars.front(), from)) {
            return tail;
        }
    }
}

ByteBuffer MetaStockHeaderFor(std::span<const std::uint8_t> header, std::size_t bars) {
    ByteBuffer bytes(header.begin(), header.end());
    if (bytes.size() >= kHeaderCountOffset + 2) {
        StoreLE16(bytes.data() + kHeaderCountOffset, static_cast<std::uint16_t>(bars + 1));
    }
    return bytes;
}

} // namespace mvr
