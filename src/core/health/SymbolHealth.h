#pragma once

// The health of the stored prices of a directory's symbols, for a mark per
// symbol in the symbol list and for mvr-dircat: each symbol's data file read
// as the file stores it (no bar correction, volume signs kept) and checked.
// A file that cannot be read is a result of its own, never an exception.

#include "core/formats/ExportSymbolInfo.h"
#include "core/health/HealthFinding.h"
#include "core/health/PriceHealthCheck.h"

#include <atomic>
#include <span>
#include <string>
#include <vector>

namespace mvr {

class CFolderListing;

enum class SymbolHealthState {
    Healthy,    // read and checked, nothing found
    Findings,   // read and checked, `findings` holds what was found
    NoData,     // no data file yet: nothing stored, nothing to check
    Unreadable, // the data file exists but cannot be read; `problem` says why
};

struct SymbolHealth {
    SymbolHealthState state = SymbolHealthState::NoData;
    std::vector<HealthFinding> findings;
    std::string problem;
    bool intraday = false; // the bars carry a time of day
};

// Checks the data file of one symbol of `directory` (a folder of format type
// `formatType`). Existing files are looked up in `listing` when one is given
// (see CExportDataFile::UseFolderListing).
SymbolHealth CheckSymbolHealth(const std::string& directory, const ExportSymbolInfo& symbol,
                               int formatType, const HealthLimits& limits,
                               CFolderListing* listing = nullptr);

// Checks the symbols one after the other while `run` stays set: result i
// belongs to symbols[i], and a stopped check returns the results of the
// symbols checked by then. The symbols are read only, so a worker can check
// a copy of a directory's list while the window keeps the directory.
std::vector<SymbolHealth> CheckDirectoryHealth(const std::string& directory,
                                               std::span<const ExportSymbolInfo> symbols,
                                               int formatType, const HealthLimits& limits,
                                               const std::atomic<bool>& run);

} // namespace mvr
