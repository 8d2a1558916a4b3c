#pragma once

// The price server's answer to a definition file: the daily prices of every
// usable line as ASCII lines, in the order of the file,
//
//     SYMBOL,YYYYMMDD,open,high,low,close,volume
//
// with the symbol on every line (CSV-quoted when it holds a comma or a
// quote) and the prices with the instrument's decimal places; and for every
// line that cannot be used one line in its place,
//
//     #ERROR line N: what is wrong
//
// Lines end in "\r\n", which chart programs on any system read.

#include "server/ServerData.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace mvr {

// Past this size no further prices are added; each further instrument line
// gets an error line instead, so the answer always tells what is missing.
inline constexpr std::size_t kMaxDefinitionAnswerBytes = 64u << 20;

struct DefinitionAnswer {
    std::string text;
    int queries = 0; // lines answered with prices (possibly none in the range)
    int errors = 0;  // error lines written
    std::int64_t bars = 0;
};

DefinitionAnswer BuildDefinitionAnswer(const CServerData& data, std::string_view definition,
                                       std::size_t maxBytes = kMaxDefinitionAnswerBytes);

} // namespace mvr
