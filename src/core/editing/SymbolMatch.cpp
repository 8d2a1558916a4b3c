#include "core/editing/SymbolMatch.h"

#include "core/formats/ExportSymbolInfo.h"
#include "core/platform/TextUtil.h"

namespace mvr {

bool SymbolMatchesText(const ExportSymbolInfo& symbol, std::string_view lowerText) {
    return EqualsIgnoreCase(FullSymbolText(symbol), lowerText) ||
           ToLowerAscii(symbol.name).find(lowerText) != std::string::npos;
}

} // namespace mvr
