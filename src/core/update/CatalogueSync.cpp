#include "core/update/CatalogueSync.h"

#include "core/formats/SymbolRemoval.h"
#include "core/net/CatalogueRequests.h"
#include "core/net/IOException.h"
#include "core/net/SymbolLookup.h"
#include "core/update/InstrumentSymbols.h"

#include <unordered_set>

namespace mvr {

namespace {

std::unordered_set<std::int32_t> SInCodesOf(const std::vector<WATCH>& members) {
    std::unordered_set<std::int32_t> codes;
    for (const WATCH& member : members) {
        codes.insert(member.sinCode);
    }
    return codes;
}

} // namespace

CCatalogueSync::CCatalogueSync(const MVRKrsExportInfo& info, std::int32_t checkNumber,
                               const RunFlag& run)
    : info_(info), checkNumber_(checkNumber), run_(run), directory_(info.formatType) {}

CatalogueSyncOutcome CCatalogueSync::Run(std::int32_t directoryIndex, UpdateWorkLists& lists) {
    CatalogueSyncOutcome outcome;
    if (!directory_.Open(info_.path, info_.formatType)) {
        return outcome;
    }
    outcome.opened = true;
    // Without the numbers every symbol would look dropped from the catalogue
    // and every member new: the directory is then left as it is.
    const bool numbersKnown = !KeepsNoSInCodes() || LookupSInCodes(directory_, run_);
    if (info_.IsLinked() && numbersKnown) {
        try {
            std::vector<WATCH> members;
            if (LoadMembers(members)) {
                AddNewInstruments(members, outcome.refused);
                outcome.indexNotSaved = !RemoveDroppedSymbols(members);
            }
        } catch (const CIOException&) {
            // The directory stays as it is; its symbols are still updated.
            outcome.communicationFailed = true;
        }
    }
    Queue(directoryIndex, lists);
    if (directory_.IsModified() && !directory_.Save()) {
        outcome.indexNotSaved = true;
    }
    return outcome;
}

bool CCatalogueSync::KeepsNoSInCodes() const {
    return !StoresServerNumbers(info_.formatType);
}

bool CCatalogueSync::LoadMembers(std::vector<WATCH>& members) const {
    const bool listed = LoadCatalogueContents(static_cast<std::int16_t>(info_.catalogueId),
                                              checkNumber_, run_, members);
    // A list cut short by a stop would look as if the rest had been dropped.
    return listed && run_.load() != 0 && !members.empty();
}

void CCatalogueSync::AddNewInstruments(const std::vector<WATCH>& members,
                                       std::vector<RefusedSymbol>& refused) {
    // An instrument that a dropped symbol's file still blocks is added at the
    // next update, once that symbol and its file are gone: adding it now
    // would let it read the dropped one's bars as its own.
    AddedInstruments added = AddInstrumentSymbols(
        directory_, members, {info_.startDate, info_.startDate, info_.interval});
    refused = std::move(added.refused);
}

bool CCatalogueSync::RemoveDroppedSymbols(const std::vector<WATCH>& members) {
    const std::unordered_set<std::int32_t> wanted = SInCodesOf(members);
    std::vector<ExportSymbolInfo> dropped;
    for (const ExportSymbolInfo& symbol : directory_.Symbols()) {
        if (wanted.count(symbol.sinCode) == 0) {
            dropped.push_back(symbol);
        }
    }
    return RemoveSymbols(directory_, dropped, SymbolIdentity::NumberOrText).saved;
}

void CCatalogueSync::Queue(std::int32_t directoryIndex, UpdateWorkLists& lists) const {
    std::vector<UpdateDirSymbolInfo>& list =
        IsIntradayFormat(info_.formatType) ? lists.intraday : lists.daily;
    for (const ExportSymbolInfo& symbol : directory_.Symbols()) {
        UpdateDirSymbolInfo item{directoryIndex, symbol};
        if (item.symbol.firstDate == 0.0) {
            item.symbol.firstDate = info_.startDate;
        }
        list.push_back(std::move(item));
    }
}

} // namespace mvr
