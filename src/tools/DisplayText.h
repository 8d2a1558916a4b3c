#pragma once

// Texts of chart-program files (single-byte Windows-1252, or UTF-8 from some
// writers) made fit for a terminal and for CSV consumers.

#include <string>
#include <string_view>

namespace mvr {

// UTF-8 as it is; anything else read as Windows-1252 and converted to UTF-8.
std::string ToUtf8ForDisplay(std::string_view text);

// One CSV field: quoted (with doubled quotes) when it holds a comma, a quote
// or a line break.
std::string CsvField(std::string_view text);

} // namespace mvr
