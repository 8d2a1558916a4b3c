#include "core/legacy/MasterFile.h"

#include "core/formats/FormatCatalogue.h"
#include "core/legacy/LegacyFile.h"
#include "core/platform/FileSystem.h"
#include "core/platform/Paths.h"
#include "core/platform/TextUtil.h"

#include <algorithm>

namespace mvr {

namespace {

constexpr std::uint8_t kHeaderMark = 20;
constexpr std::size_t kHeaderTypeOffset = 30;
constexpr std::string_view kAscExtension = ".ASC";

bool HeaderMatches(std::span<const std::uint8_t> file, int formatType) {
    return file.size() >= qdxMasterAsciiEntry::kSize && file[0] == kHeaderMark &&
           file[1] == kHeaderMark && file[kHeaderTypeOffset] == formatType;
}

// "ABC.asc" -> "ABC"; nothing for other files and for names that cannot be a symbol.
std::optional<std::string> AscSymbol(std::string_view fileName) {
    if (fileName.size() <= kAscExtension.size() ||
        !EqualsIgnoreCase(fileName.substr(fileName.size() - kAscExtension.size()), kAscExtension)) {
        return std::nullopt;
    }
    const std::string_view base = fileName.substr(0, fileName.size() - kAscExtension.size());
    if (base.size() >= qdxMasterAsciiEntry::kSymbolSize) {
        return std::nullopt;
    }
    return std::string(base);
}

std::vector<qdxMasterAsciiEntry> ScanAscFiles(const std::string& folder) {
    std::vector<std::string> names = ListFileNames(folder);
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const int order = CompareIgnoreCase(a, b);
        return order != 0 ? order < 0 : a < b;
    });
    std::vector<qdxMasterAsciiEntry> entries;
    for (const std::string& name : names) {
        if (const std::optional<std::string> symbol = AscSymbol(name)) {
            qdxMasterAsciiEntry entry;
            entry.symbol = *symbol;
            entry.name = *symbol;
            entries.push_back(std::move(entry));
        }
    }
    return entries;
}

} // namespace

std::vector<qdxMasterAsciiEntry> DecodeMasterFile(std::span<const std::uint8_t> file,
                                                  int formatType) {
    std::vector<qdxMasterAsciiEntry> entries;
    if (!HeaderMatches(file, formatType)) {
        return entries;
    }
    constexpr std::size_t kSize = qdxMasterAsciiEntry::kSize;
    for (std::size_t at = kSize; file.size() - at >= kSize; at += kSize) {
        if (auto entry = qdxMasterAsciiEntry::Decode(file.subspan(at).first<kSize>())) {
            entries.push_back(std::move(*entry));
        }
    }
    return entries;
}

std::vector<qdxMasterAsciiEntry> ReadMasterFile(const std::string& directory, int formatType) {
    const std::string folder = WithTrailingSeparator(directory);
    if (formatType == kFormatHermes) {
        return ScanAscFiles(folder);
    }
    const std::optional<ByteBuffer> file =
        ReadLegacyFile(folder, kLegacyMasterFileName, kMaxMasterFileBytes);
    if (!file) {
        return {};
    }
    return DecodeMasterFile(*file, formatType);
}

} // namespace mvr
