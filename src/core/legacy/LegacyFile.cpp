#include "core/legacy/LegacyFile.h"

#include "core/platform/Paths.h"

#include <algorithm>

namespace mvr {

std::optional<ByteBuffer> ReadLegacyFile(const std::string& folder, std::string_view name,
                                         std::size_t maxBytes) {
    const std::optional<std::string> path =
        FindFileIgnoringCase(WithTrailingSeparator(folder), name);
    if (!path) {
        return std::nullopt;
    }
    const std::optional<std::uint64_t> size = FileSizeOf(*path);
    if (!size) {
        return std::nullopt;
    }
    // The size only bounds the buffer; a file that shrank meanwhile is read to its end.
    const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(*size, maxBytes));
    return ReadFileRange(*path, 0, count);
}

} // namespace mvr
