#pragma once

// New symbols for a directory from instrument records of the server: the
// instruments of a linked catalogue (when a directory is added and at every
// update) and the ones chosen in the symbol search join a directory the same way.

#include "core/formats/PriceFileNames.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace mvr {

class CExportDirectory;
struct WATCH;

// What every new symbol's record takes from the directory it joins.
struct NewSymbolDates {
    double firstDate = 0.0;
    double lastDate = 0.0;
    std::uint16_t interval = 0;
};

struct AddedInstruments {
    std::size_t added = 0;
    // Instruments whose price file would be a listed symbol's, in their order.
    std::vector<RefusedSymbol> refused;
};

// Adds the instruments in their order, each unless the directory lists its
// instrument number already (a repeat is no news). An instrument whose
// symbol, as stored (at most 8 characters), would give it a listed symbol's
// price file is refused, so that two instruments never share one. Every
// added symbol gets its data file written with the history already on disk,
// which is none for a new file. The index is not saved here.
AddedInstruments AddInstrumentSymbols(CExportDirectory& directory,
                                      std::span<const WATCH> instruments,
                                      const NewSymbolDates& dates);

} // namespace mvr
