#pragma once

// One line of a definition file as the price server reads it:
//
//     INSTRUMENT;FROM;TO
//
// INSTRUMENT is a symbol (exact, letter case included) or an SInCode; FROM and
// TO are dates YYYYMMDD, both included, and may be empty or left out for an
// open end. Blanks around fields are dropped. Blank lines and lines whose
// first character other than a blank is '#' are skipped.

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace mvr {

inline constexpr std::int32_t kOpenStartDay = 1;
inline constexpr std::int32_t kOpenEndDay = std::numeric_limits<std::int32_t>::max();
// Longer lines are refused rather than echoed.
inline constexpr std::size_t kMaxDefinitionLineBytes = 1024;

enum class DefinitionLineKind {
    Skip,  // blank or comment
    Query, // an instrument and its days
    Error, // unusable; `error` says why
};

struct DefinitionLine {
    DefinitionLineKind kind = DefinitionLineKind::Skip;
    std::string instrument;
    std::int32_t firstDay = kOpenStartDay;
    std::int32_t lastDay = kOpenEndDay;
    std::string error;
};

// `line` without its line end (a trailing carriage return is dropped here).
DefinitionLine ParseDefinitionLine(std::string_view line);

// A text fit to be quoted in an error line: printable and short, or nothing.
std::string QuotedForMessage(std::string_view text);

} // namespace mvr
