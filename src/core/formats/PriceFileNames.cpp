#include "core/formats/PriceFileNames.h"

#include "core/formats/ExportDirectory.h"
#include "core/formats/FormatCatalogue.h"
#include "core/platform/TextUtil.h"

namespace mvr {

std::string RefusedSymbolText(const RefusedSymbol& refused) {
    std::string text = refused.symbol + " (";
    if (!refused.name.empty()) {
        text += refused.name + ", ";
    }
    text += std::to_string(refused.sinCode) + ") not added to " + refused.directory +
            ": its price file would be that of " + refused.holder;
    return text;
}

CPriceFileNames::CPriceFileNames(const CExportDirectory& directory)
    : CPriceFileNames(directory.FormatType(), directory.Symbols()) {}

CPriceFileNames::CPriceFileNames(int formatType, std::span<const ExportSymbolInfo> symbols)
    : formatType_(formatType) {
    holders_.reserve(symbols.size());
    for (const ExportSymbolInfo& symbol : symbols) {
        Add(symbol);
    }
}

const std::string* CPriceFileNames::HolderOf(const ExportSymbolInfo& symbol) const {
    const auto found = holders_.find(Key(formatType_, symbol));
    return found == holders_.end() ? nullptr : &found->second;
}

void CPriceFileNames::Add(const ExportSymbolInfo& symbol) {
    // The first of two symbols that already share a file keeps it.
    holders_.emplace(Key(formatType_, symbol), symbol.symbol);
}

std::string CPriceFileNames::Key(int formatType, const ExportSymbolInfo& symbol) {
    const FormatTypeInfo* info = FindFormatType(formatType);
    if (info != nullptr && info->naming != DataFileNaming::MetaStock) {
        const std::string name = DataFileName(formatType, symbol);
        if (!name.empty()) {
            return "f:" + ToLowerAscii(name);
        }
    }
    return "s:" + symbol.symbol;
}

} // namespace mvr
