#include "core/formats/SymbolRemoval.h"

#include "core/formats/ExportDataFile.h"
#include "core/formats/ExportDirectory.h"

#include <algorithm>
#include <optional>

namespace mvr {

namespace {

// Removes the symbol the way it is identified; the removed entry, or nothing.
std::optional<ExportSymbolInfo> RemoveOne(CExportDirectory& directory,
                                          const ExportSymbolInfo& symbol,
                                          SymbolIdentity identity) {
    const std::vector<ExportSymbolInfo>& listed = directory.Symbols();
    // A number of 0 is no number: it would name any symbol not yet looked up.
    if (identity == SymbolIdentity::NumberOrText && symbol.sinCode != 0) {
        const auto it = std::find_if(listed.begin(), listed.end(), [&](const auto& entry) {
            return entry.sinCode == symbol.sinCode;
        });
        if (it != listed.end()) {
            ExportSymbolInfo entry = *it;
            directory.RemoveBySInCode(symbol.sinCode);
            return entry;
        }
    }
    const int at = directory.FindSymbol(FullSymbolText(symbol));
    if (at < 0) {
        return std::nullopt;
    }
    ExportSymbolInfo entry = directory.GetSymbol(static_cast<std::size_t>(at));
    directory.RemoveBySymbol(FullSymbolText(symbol));
    return entry;
}

} // namespace

SymbolRemoval RemoveSymbols(CExportDirectory& directory, std::span<const ExportSymbolInfo> symbols,
                            SymbolIdentity identity) {
    SymbolRemoval result;
    const std::vector<ExportSymbolInfo> before = directory.Symbols();
    for (const ExportSymbolInfo& symbol : symbols) {
        if (auto entry = RemoveOne(directory, symbol, identity)) {
            result.removed.push_back(std::move(*entry));
        }
    }
    if (result.removed.empty()) {
        return result;
    }
    if (!directory.Save()) {
        directory.Symbols() = before;
        result.removed.clear();
        result.saved = false;
        return result;
    }
    for (const ExportSymbolInfo& entry : result.removed) {
        CExportDataFile file;
        file.UseFolderListing(&directory.FolderListing());
        // The index's entry, not the caller's copy: it holds the file number.
        file.BuildFileName(directory.Path(), entry, directory.FormatType());
        if (file.Delete()) {
            ++result.filesDeleted;
        }
    }
    return result;
}

} // namespace mvr
