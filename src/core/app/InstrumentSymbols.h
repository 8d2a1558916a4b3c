#pragma once

// New symbols for a directory from instrument records of the server: the
// instruments of a linked catalogue and the ones chosen in the symbol search
// join a directory the same way.

#include <cstddef>
#include <cstdint>
#include <span>

namespace mvr {

class CExportDirectory;
struct WATCH;

// What every new symbol's record takes from the directory it joins.
struct NewSymbolDates {
    double firstDate = 0.0;
    double lastDate = 0.0;
    std::uint16_t interval = 0;
};

// Adds the instruments in their order, each unless the directory lists a
// symbol with its instrument number or, failing that, with its symbol text
// (as stored: at most 8 characters, so that two instruments never share a
// data file). Every added symbol gets its data file written with the history
// already on disk, which is none for a new file. The index is not saved
// here. The number of symbols added.
std::size_t AddInstrumentSymbols(CExportDirectory& directory, std::span<const WATCH> instruments,
                                 const NewSymbolDates& dates);

} // namespace mvr
