#pragma once

// Fields of the CSV lines that mvr-dircat prints.

#include <string>
#include <string_view>

namespace mvr {

// One CSV field: quoted (with doubled quotes) when it holds a comma, a quote
// or a line break.
std::string CsvField(std::string_view text);

} // namespace mvr
