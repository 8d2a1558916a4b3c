#pragma once

// Helpers for targets whose decoder takes more than one byte string: the
// input is cut at a separator that a mutation can move or drop, so the
// fuzzer explores the parts' lengths as freely as their contents.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace mvr::fuzz {

inline constexpr std::string_view kPartSeparator = "#MVR-PART#";

// At most `maxParts` parts; the last one takes the rest of the input,
// separators included.
inline std::vector<std::span<const std::uint8_t>> SplitParts(std::span<const std::uint8_t> input,
                                                             std::size_t maxParts) {
    std::vector<std::span<const std::uint8_t>> parts;
    const std::string_view text(reinterpret_cast<const char*>(input.data()), input.size());
    std::size_t begin = 0;
    while (parts.size() + 1 < maxParts) {
        const std::size_t at = text.find(kPartSeparator, begin);
        if (at == std::string_view::npos) {
            break;
        }
        parts.push_back(input.subspan(begin, at - begin));
        begin = at + kPartSeparator.size();
    }
    parts.push_back(input.subspan(begin));
    return parts;
}

// The inverse, for the seed generator.
inline std::vector<std::uint8_t> JoinParts(const std::vector<std::vector<std::uint8_t>>& parts) {
    std::vector<std::uint8_t> joined;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i != 0) {
            joined.insert(joined.end(), kPartSeparator.begin(), kPartSeparator.end());
        }
        joined.insert(joined.end(), parts[i].begin(), parts[i].end());
    }
    return joined;
}

} // namespace mvr::fuzz
