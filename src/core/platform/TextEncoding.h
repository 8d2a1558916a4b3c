#pragma once

// Texts of chart-program files, paths and names come in the local single-byte
// code page (Windows-1252) or, from some writers and on Linux, in UTF-8. What
// leaves the system as UTF-8 (a terminal, a CSV consumer, a JSON document)
// goes through here, so that it is valid UTF-8 whichever it was.

#include <string>
#include <string_view>

namespace mvr {

// UTF-8 as it is; anything else read as Windows-1252 and converted to UTF-8
// (the five bytes the code page leaves undefined become '?').
std::string LocalTextToUtf8(std::string_view text);

} // namespace mvr
