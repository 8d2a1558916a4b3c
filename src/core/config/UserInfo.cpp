#include "core/config/UserInfo.h"

#include "core/platform/Bytes.h"

#include <algorithm>
#include <cstring>

namespace mvr {

namespace {

// The mask has its top bit set, so that no character below 0x80 scrambles to
// zero in the first 128 positions.
constexpr std::uint8_t kPasswordMask = 0xA7;

constexpr std::size_t kVersionOffset = 0;
constexpr std::size_t kSizeOffset = 4;
constexpr std::size_t kAccountOffset = 8;
constexpr std::size_t kPasswordOffset = 268;
constexpr std::size_t kFormatFilterOffset = 528;
constexpr std::size_t kActiveListOffset = 532;
constexpr std::size_t kDefinitionInputOffset = 536;
constexpr std::size_t kDefinitionOutputOffset = 796;
constexpr std::size_t kReservedOffset = 1056;
constexpr std::size_t kDirectorySortColumnOffset = 1256;
constexpr std::size_t kSymbolSortColumnOffset = 1260;
constexpr std::size_t kSearchSortColumnOffset = 1264;
constexpr std::size_t kDirectorySortFlagOffset = 1268;
constexpr std::size_t kSymbolSortFlagOffset = 1272;
constexpr std::size_t kSearchSortFlagOffset = 1276;
constexpr std::size_t kCurrentDirectoryOffset = 1280;
constexpr std::size_t kOlderLayoutOffset = 8;
static_assert(kCurrentDirectoryOffset + 4 == ExportUserInfo::kSize);
static_assert(kOlderLayoutOffset + ExportUserInfo::kOlderLayoutSize == kReservedOffset);

void StorePassword(std::uint8_t* field, const std::string& password) {
    StoreFixedText(field, ExportUserInfo::kTextSize, password);
    ScramblePassword(reinterpret_cast<char*>(field), ExportUserInfo::kTextSize);
}

std::string LoadPassword(const std::uint8_t* field) {
    std::array<std::uint8_t, ExportUserInfo::kTextSize> copy;
    std::memcpy(copy.data(), field, copy.size());
    ScramblePassword(reinterpret_cast<char*>(copy.data()), copy.size());
    return LoadFixedText(copy.data(), copy.size());
}

void SerializeInto(const ExportUserInfo& info, std::uint8_t* p) {
    StoreLEInt32(p + kVersionOffset, info.version);
    StoreLEInt32(p + kSizeOffset, info.size);
    StoreFixedText(p + kAccountOffset, ExportUserInfo::kTextSize, info.account);
    StorePassword(p + kPasswordOffset, info.password);
    StoreLEInt32(p + kFormatFilterOffset, info.formatFilter);
    StoreLEInt32(p + kActiveListOffset, info.activeListEntry);
    StoreFixedText(p + kDefinitionInputOffset, ExportUserInfo::kTextSize, info.definitionInput);
    StoreFixedText(p + kDefinitionOutputOffset, ExportUserInfo::kTextSize, info.definitionOutput);
    std::memcpy(p + kReservedOffset, info.reserved.data(), info.reserved.size());
    StoreLEInt32(p + kDirectorySortColumnOffset, info.directorySortColumn);
    StoreLEInt32(p + kSymbolSortColumnOffset, info.symbolSortColumn);
    StoreLEInt32(p + kSearchSortColumnOffset, info.searchSortColumn);
    StoreLEInt32(p + kDirectorySortFlagOffset, info.directorySortFlag);
    StoreLEInt32(p + kSymbolSortFlagOffset, info.symbolSortFlag);
    StoreLEInt32(p + kSearchSortFlagOffset, info.searchSortFlag);
    StoreLEInt32(p + kCurrentDirectoryOffset, info.currentDirectory);
}

ExportUserInfo DeserializeFrom(const std::uint8_t* p) {
    ExportUserInfo info;
    info.version = LoadLEInt32(p + kVersionOffset);
    info.size = LoadLEInt32(p + kSizeOffset);
    info.account = LoadFixedText(p + kAccountOffset, ExportUserInfo::kTextSize);
    info.password = LoadPassword(p + kPasswordOffset);
    info.formatFilter = LoadLEInt32(p + kFormatFilterOffset);
    info.activeListEntry = LoadLEInt32(p + kActiveListOffset);
    info.definitionInput = LoadFixedText(p + kDefinitionInputOffset, ExportUserInfo::kTextSize);
    info.definitionOutput = LoadFixedText(p + kDefinitionOutputOffset, ExportUserInfo::kTextSize);
    std::memcpy(info.reserved.data(), p + kReservedOffset, info.reserved.size());
    info.directorySortColumn = LoadLEInt32(p + kDirectorySortColumnOffset);
    info.symbolSortColumn = LoadLEInt32(p + kSymbolSortColumnOffset);
    info.searchSortColumn = LoadLEInt32(p + kSearchSortColumnOffset);
    info.directorySortFlag = LoadLEInt32(p + kDirectorySortFlagOffset);
    info.symbolSortFlag = LoadLEInt32(p + kSymbolSortFlagOffset);
    info.searchSortFlag = LoadLEInt32(p + kSearchSortFlagOffset);
    info.currentDirectory = LoadLEInt32(p + kCurrentDirectoryOffset);
    return info;
}

} // namespace

void ScramblePassword(char* text, std::size_t size) {
    for (std::size_t i = 0; i < size && text[i] != '\0'; ++i) {
        text[i] = static_cast<char>(static_cast<std::uint8_t>(text[i]) ^
                                    static_cast<std::uint8_t>(i % 256) ^ kPasswordMask);
    }
}

bool IsStorablePassword(const std::string& password) {
    if (password.size() >= ExportUserInfo::kTextSize) {
        return false;
    }
    for (std::size_t i = 0; i < password.size(); ++i) {
        const auto scrambled =
            static_cast<std::uint8_t>(static_cast<std::uint8_t>(password[i]) ^
                                      static_cast<std::uint8_t>(i % 256) ^ kPasswordMask);
        if (scrambled == 0 || password[i] == '\0') {
            return false;
        }
    }
    return true;
}

std::vector<std::uint8_t> ExportUserInfo::Serialize() const {
    std::vector<std::uint8_t> bytes(kSize);
    SerializeInto(*this, bytes.data());
    return bytes;
}

ExportUserInfo ExportUserInfo::Deserialize(std::span<const std::uint8_t> file,
                                           bool* sortStateRead) {
    std::vector<std::uint8_t> image = ExportUserInfo{}.Serialize();
    if (file.size() == kOlderLayoutSize) {
        std::copy(file.begin(), file.end(), image.begin() + kOlderLayoutOffset);
        ExportUserInfo info = DeserializeFrom(image.data());
        info.version = 0;
        *sortStateRead = false;
        return info;
    }
    const std::size_t n = std::min(file.size(), kSize);
    std::copy(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(n), image.begin());
    *sortStateRead = n > 0;
    return DeserializeFrom(image.data());
}

} // namespace mvr
