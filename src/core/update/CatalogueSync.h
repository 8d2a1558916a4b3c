#pragma once

// Brings one export directory in line with the server before its symbols are
// queued: the instrument numbers of formats that do not keep them are looked
// up, and a directory linked to a catalogue gains the catalogue's new
// instruments (with an empty data file each) and loses the symbols the
// catalogue no longer lists (with their data files).

#include "core/config/ExportInfo.h"
#include "core/formats/ExportDirectory.h"
#include "core/formats/PriceFileNames.h"
#include "core/net/InstrumentRecord.h"
#include "core/net/RunFlag.h"
#include "core/update/UpdateWorkItem.h"

#include <cstdint>
#include <vector>

namespace mvr {

struct CatalogueSyncOutcome {
    bool opened = false;                // the index could be opened; else nothing was queued
    bool communicationFailed = false;   // a CIOException ended the catalogue request
    std::vector<RefusedSymbol> refused; // new instruments whose price file is another symbol's
    // The index could not be saved: the symbols the catalogue dropped stay,
    // with their price files, until a later update can save it.
    bool indexNotSaved = false;
};

class CCatalogueSync {
public:
    // `checkNumber` heads the catalogue request; `run` stops it.
    CCatalogueSync(const MVRKrsExportInfo& info, std::int32_t checkNumber, const RunFlag& run);

    // Synchronises the directory with index `directoryIndex` and queues each
    // of its symbols once on the daily or the intraday list.
    CatalogueSyncOutcome Run(std::int32_t directoryIndex, UpdateWorkLists& lists);

private:
    bool KeepsNoSInCodes() const;
    // Throws CIOException. False when the server reported an error, the
    // catalogue lists nothing or the run was stopped while it arrived.
    bool LoadMembers(std::vector<WATCH>& members) const;
    void AddNewInstruments(const std::vector<WATCH>& members, std::vector<RefusedSymbol>& refused);
    // False when the index could not be saved without them (nothing was deleted).
    bool RemoveDroppedSymbols(const std::vector<WATCH>& members);
    void Queue(std::int32_t directoryIndex, UpdateWorkLists& lists) const;

    const MVRKrsExportInfo& info_;
    std::int32_t checkNumber_;
    const RunFlag& run_;
    CExportDirectory directory_;
};

} // namespace mvr
