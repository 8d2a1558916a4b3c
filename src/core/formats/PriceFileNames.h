#pragma once

// Two symbols of one directory must never write one price file: the second
// would take the first one's bars as its own, and every update would write
// the two instruments' prices over each other. This holds the file names of
// a directory's symbols so that every path that adds symbols refuses a
// symbol whose file is already another's.

#include "core/formats/ExportSymbolInfo.h"

#include <cstdint>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

namespace mvr {

class CExportDirectory;

// A symbol that was not added because its price file belongs to another symbol.
struct RefusedSymbol {
    std::string symbol; // as the instrument or the source lists it (may be longer than stored)
    std::string name;   // instrument name
    std::int32_t sinCode = 0;
    std::string holder;    // the listed symbol whose price file it would be
    std::string directory; // the directory it was refused by
};

// "MVRDUAL1F (Dual Listing Frankfurt, 100123) not added to /data/ascii/: its
// price file would be that of MVRDUAL1".
std::string RefusedSymbolText(const RefusedSymbol& refused);

class CPriceFileNames {
public:
    // The names of the symbols `directory` lists now.
    explicit CPriceFileNames(const CExportDirectory& directory);
    CPriceFileNames(int formatType, std::span<const ExportSymbolInfo> symbols);

    // The symbol text of the listed symbol whose price file `symbol` would
    // write, or nullptr when its file is free.
    const std::string* HolderOf(const ExportSymbolInfo& symbol) const;
    // Records a symbol that was added after construction.
    void Add(const ExportSymbolInfo& symbol);

    // What identifies a symbol's price file in a directory of `formatType`.
    // Names built from the symbol are compared without regard to letter case,
    // since the folders are read on Windows too (and we resolve files that
    // way ourselves). Numbered MetaStock files never clash by name, but such a
    // file is found again only through its exact symbol text (the lookup of
    // instrument numbers, FindSymbol), so there the text is what must differ;
    // the same holds for a symbol whose text gives no file name.
    static std::string Key(int formatType, const ExportSymbolInfo& symbol);

private:
    int formatType_;
    std::unordered_map<std::string, std::string> holders_; // key -> symbol text
};

} // namespace mvr
