#include "core/app/CopyMoveCommand.h"

#include "core/app/MainWindowCommands.h"
#include "core/app/Session.h"
#include "core/config/UserInteraction.h"
#include "core/editing/CopyMoveSymbols.h"
#include "core/net/SymbolLookup.h"
#include "core/update/UpdateRun.h"

namespace mvr {

namespace {

std::vector<ExportSymbolInfo> SelectedSymbols(const CExpSymbolListModel& list) {
    std::vector<ExportSymbolInfo> symbols;
    for (const std::size_t row : list.Selection().Rows()) {
        if (const ExportSymbolInfo* symbol = list.SymbolOfRow(row)) {
            symbols.push_back(*symbol);
        }
    }
    return symbols;
}

// The server's numbers of the index's symbols, looked up on a copy so that
// the work off the calling thread never touches the shown index.
bool LookUpNumbers(CExportDirectory& index, CUserInteraction& interaction) {
    CExportDirectory lookup;
    lookup.Symbols() = index.Symbols();
    if (!interaction.RunNetworkWork(kPhaseConnecting,
                                    [&](const RunFlag& run) { LookupSInCodes(lookup, run); })) {
        return false;
    }
    for (std::size_t i = 0; i < lookup.Symbols().size(); ++i) {
        index.GetSymbol(i).sinCode = lookup.GetSymbol(i).sinCode;
    }
    return true;
}

} // namespace

bool CopyOrMoveDroppedSymbols(CMVRKrsExpSession& session, CUserInteraction& interaction,
                              std::int64_t targetRow) {
    if (session.SymbolList().GetSelectedCount() == 0) {
        return false;
    }
    // The lookup carries the login number: without a login it would find nothing.
    if (!EnsureLoginOrTell(session, interaction)) {
        return false;
    }
    CExportDirectory& current = session.CurrentIndex();
    if (!StoresServerNumbers(current.FormatType()) && !LookUpNumbers(current, interaction)) {
        return false;
    }
    std::vector<ExportSymbolInfo> symbols = SelectedSymbols(session.SymbolList());
    if (symbols.empty()) {
        return false;
    }
    const std::int32_t target = session.DirectoryList().RowDirectory(targetRow);
    if (target < 0 || target == session.CurrentDirectory()) {
        return false;
    }
    if (session.Directories()[static_cast<std::size_t>(target)].IsLinked()) {
        interaction.ShowMessage(kLinkedTargetMessage, MessageIcon::None);
        return false;
    }
    CCopyMoveSymbols dialog(session.Directories(), session.CurrentDirectory(), std::move(symbols),
                            target);
    if (!interaction.CopyOrMoveSymbols(dialog)) {
        return false;
    }
    session.DirectoryList().RefreshCounts(session.Directories());
    StoreConfigOrTell(session, interaction);
    current.Reload();
    session.SymbolList().SetDirectory(&current);
    const std::string refused = RefusedSymbolsText(dialog.LastResult(), dialog.IsMove());
    if (!refused.empty()) {
        interaction.ShowMessage(refused, MessageIcon::None);
    }
    return true;
}

} // namespace mvr
