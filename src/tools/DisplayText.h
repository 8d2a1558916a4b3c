#pragma once

// Texts of chart-program files (single-byte Windows-1252, or UTF-8 from some
// writers) made fit for a terminal and for CSV consumers.

#include <cstdint>
#include <string>
#include <string_view>

namespace mvr {

// UTF-8 as it is; anything else read as Windows-1252 and converted to UTF-8.
std::string ToUtf8ForDisplay(std::string_view text);

// One CSV field: quoted (with doubled quotes) when it holds a comma, a quote
// or a line break.
std::string CsvField(std::string_view text);

// The date of a day number as YYYYMMDD, so that dates sort as text.
void AppendDateDigits(std::string& out, std::int32_t dayNumber);

// A time of day as HHMMSS.
void AppendTimeDigits(std::string& out, std::int32_t secondsOfDay);

// The shortest text that reads back as the same float.
void AppendNumber(std::string& out, float value);

} // namespace mvr
