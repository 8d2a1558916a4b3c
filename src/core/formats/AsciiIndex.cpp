#include "core/formats/AsciiIndex.h"

#include "core/platform/Bytes.h"

#include <algorithm>

namespace mvr {

namespace {

constexpr std::size_t kMagicOffset = 0;
constexpr std::size_t kFormatTypeOffset = 4;
constexpr std::size_t kCountOffset = 8;
constexpr std::size_t kStartDateOffset = 16;

} // namespace

std::optional<AsciiIndexHeader> DecodeAsciiIndexHeader(std::span<const std::uint8_t> file) {
    if (file.size() < kAsciiIndexHeaderSize ||
        LoadLEInt32(file.data() + kMagicOffset) != kAsciiIndexMagic) {
        return std::nullopt;
    }
    AsciiIndexHeader header;
    header.formatType = LoadLEInt32(file.data() + kFormatTypeOffset);
    header.count = LoadLEInt32(file.data() + kCountOffset);
    header.startDate = LoadLEDouble(file.data() + kStartDateOffset);
    if (header.count < 0) {
        return std::nullopt;
    }
    return header;
}

std::vector<ExportSymbolInfo> DecodeAsciiIndexRecords(std::span<const std::uint8_t> file,
                                                      const AsciiIndexHeader& header) {
    const std::size_t present =
        file.size() < kAsciiIndexHeaderSize
            ? 0
            : (file.size() - kAsciiIndexHeaderSize) / ExportSymbolInfo::kSize;
    const std::size_t count = std::min(present, static_cast<std::size_t>(header.count));
    std::vector<ExportSymbolInfo> symbols;
    symbols.reserve(count);
    const std::uint8_t* record = file.data() + kAsciiIndexHeaderSize;
    for (std::size_t i = 0; i < count; ++i, record += ExportSymbolInfo::kSize) {
        symbols.push_back(
            ExportSymbolInfo::Deserialize(std::span<const std::uint8_t, ExportSymbolInfo::kSize>(
                record, ExportSymbolInfo::kSize)));
    }
    return symbols;
}

ByteBuffer EncodeAsciiIndex(std::int32_t formatType, double startDate,
                            const std::vector<ExportSymbolInfo>& symbols) {
    ByteBuffer image(kAsciiIndexHeaderSize + symbols.size() * ExportSymbolInfo::kSize, 0);
    StoreLEInt32(image.data() + kMagicOffset, kAsciiIndexMagic);
    StoreLEInt32(image.data() + kFormatTypeOffset, formatType);
    StoreLEInt32(image.data() + kCountOffset, static_cast<std::int32_t>(symbols.size()));
    StoreLEDouble(image.data() + kStartDateOffset, startDate);
    std::uint8_t* record = image.data() + kAsciiIndexHeaderSize;
    for (const ExportSymbolInfo& symbol : symbols) {
        symbol.Serialize(
            std::span<std::uint8_t, ExportSymbolInfo::kSize>(record, ExportSymbolInfo::kSize));
        record += ExportSymbolInfo::kSize;
    }
    return image;
}

} // namespace mvr
