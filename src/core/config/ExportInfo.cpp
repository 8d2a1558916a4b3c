#include "core/config/ExportInfo.h"

#include "core/platform/Bytes.h"

namespace mvr {

namespace {

// Field offsets and widths of the 544-byte record.
constexpr std::size_t kPathOffset = 0;
constexpr std::size_t kPathSize = 260;
constexpr std::size_t kFormatTypeOffset = 260;
constexpr std::size_t kStartDateOffset = 264;
constexpr std::size_t kSymbolCountOffset = 272;
constexpr std::size_t kCatalogueIdOffset = 276;
constexpr std::size_t kCatalogueNameOffset = 280;
constexpr std::size_t kCatalogueNameSize = 260;
constexpr std::size_t kIntervalOffset = 540;
constexpr std::size_t kReservedOffset = 542;
static_assert(kReservedOffset + 2 == MVRKrsExportInfo::kSize);

} // namespace

void MVRKrsExportInfo::Serialize(std::span<std::uint8_t, kSize> out) const {
    std::uint8_t* p = out.data();
    StoreFixedText(p + kPathOffset, kPathSize, path);
    StoreLEInt32(p + kFormatTypeOffset, formatType);
    StoreLEDouble(p + kStartDateOffset, startDate);
    StoreLEInt32(p + kSymbolCountOffset, symbolCount);
    StoreLEInt32(p + kCatalogueIdOffset, catalogueId);
    StoreFixedText(p + kCatalogueNameOffset, kCatalogueNameSize, catalogueName);
    StoreLE16(p + kIntervalOffset, interval);
    StoreLE16(p + kReservedOffset, reserved);
}

MVRKrsExportInfo MVRKrsExportInfo::Deserialize(std::span<const std::uint8_t, kSize> in) {
    const std::uint8_t* p = in.data();
    MVRKrsExportInfo info;
    info.path = LoadFixedText(p + kPathOffset, kPathSize);
    info.formatType = LoadLEInt32(p + kFormatTypeOffset);
    info.startDate = LoadLEDouble(p + kStartDateOffset);
    info.symbolCount = LoadLEInt32(p + kSymbolCountOffset);
    info.catalogueId = LoadLEInt32(p + kCatalogueIdOffset);
    info.catalogueName = LoadFixedText(p + kCatalogueNameOffset, kCatalogueNameSize);
    info.interval = LoadLE16(p + kIntervalOffset);
    info.reserved = LoadLE16(p + kReservedOffset);
    return info;
}

} // namespace mvr
