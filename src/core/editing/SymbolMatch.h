#pragma once

// The one rule by which a typed text finds symbols, in the symbol list and
// across directories: the symbol equals the text, or the name contains it,
// both without regard to letter case.

#include <string_view>

namespace mvr {

struct ExportSymbolInfo;

// `lowerText` is the typed text already converted to lower case.
bool SymbolMatchesText(const ExportSymbolInfo& symbol, std::string_view lowerText);

} // namespace mvr
