#pragma once

// The fields of the CSV lines mvr-dircat prints: quoted texts, dates and times
// as digits, numbers that read back exactly.

#include <cstdint>
#include <string>
#include <string_view>

namespace mvr {

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
