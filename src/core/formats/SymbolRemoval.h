#pragma once

// The one way symbols leave an export directory: out of the index first, the
// index saved, and only then their price files deleted. A price file deleted
// while the saved index still lists its symbol would leave a symbol without
// its history on disk; a failed save therefore deletes nothing.

#include "core/formats/ExportSymbolInfo.h"

#include <span>
#include <vector>

namespace mvr {

class CExportDirectory;

// How a symbol handed over is found in the directory.
enum class SymbolIdentity {
    Text,         // its symbol text, exactly (letter case counts)
    NumberOrText, // the first symbol with its server number, else (no number, or
                  // none listed with it) its symbol text
};

struct SymbolRemoval {
    // The index's own entries that were removed, in the order handed over.
    // Empty when the save failed.
    std::vector<ExportSymbolInfo> removed;
    bool saved = true; // false: the index kept every symbol, no file was deleted
    std::size_t filesDeleted = 0;
};

// Removes the symbols from the index, saves it, then deletes the price file of
// each removed symbol (formats without per-symbol files delete nothing).
// Symbols the index does not list are passed over; when none is listed the
// index is not saved. When the save fails the index's symbol list is put back
// as it was (still marked changed, so that a later save writes it whole) and
// no file is touched.
[[nodiscard]] SymbolRemoval RemoveSymbols(CExportDirectory& directory, std::span<const ExportSymbolInfo> symbols,
                            SymbolIdentity identity);

} // namespace mvr
