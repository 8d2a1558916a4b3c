#pragma once

// The main window's command that opens the symbol data editor on one symbol
// of the current directory and, on OK, writes the edited history back.

#include <cstdint>

namespace mvr {

class CMVRKrsExpSession;
class CUserInteraction;

enum class SymbolDataTrigger {
    DoubleClick, // on a symbol row: the login must succeed first
    OpenButton,  // "C": a login is tried once, its failure ignored
};

enum class SymbolDataOutcome {
    NotOpened, // no symbol in the row, or the login failed (its message was shown)
    Cancelled, // nothing was written
    Written,   // the price file, the symbol's dates and the index were saved
    NotWritten, // OK, but the price file could not be written: the index is left as it was
    IndexNotSaved // the price file was written; the index could not be saved with its dates
};

// Reads the symbol's price file of the current directory into a store, shows
// the editor on it and on OK writes the store with force, sets the symbol's
// first and last date from the first and last record, saves the current
// index and shows it again.
SymbolDataOutcome OpenSymbolDataEditor(CMVRKrsExpSession& session, CUserInteraction& interaction,
                                       std::int64_t symbolRow, SymbolDataTrigger trigger);

} // namespace mvr
