#include "core/app/SymbolDataCommand.h"

#include "core/app/MainWindowCommands.h"
#include "core/app/Session.h"
#include "core/config/UserInteraction.h"
#include "core/editing/SymbolDataEditor.h"
#include "core/net/UserRequests.h"
#include "core/update/UpdateRun.h"

namespace mvr {

namespace {

bool LoginFirst(CMVRKrsExpSession& session, CUserInteraction& interaction,
                SymbolDataTrigger trigger) {
    if (trigger == SymbolDataTrigger::OpenButton) {
        // The open button tries the login but opens the editor whatever came of it.
        std::string message;
        interaction.RunNetworkWork(kPhaseConnecting, [&](const RunFlag& run) {
            Login(session.User().account, session.User().password, message, run);
        });
        return true;
    }
    return EnsureLoginOrTell(session, interaction);
}

} // namespace

SymbolDataOutcome OpenSymbolDataEditor(CMVRKrsExpSession& session, CUserInteraction& interaction,
                                       std::int64_t symbolRow, SymbolDataTrigger trigger) {
    const std::int32_t symbolIndex = session.SymbolList().RowToSymbol(symbolRow);
    if (symbolIndex < 0 || !LoginFirst(session, interaction, trigger)) {
        return SymbolDataOutcome::NotOpened;
    }
    CExportDirectory& index = session.CurrentIndex();
    const auto position = static_cast<std::size_t>(symbolIndex);
    // A missing file gives an empty history; a damaged one also blocks the write below.
    CExportDataFile store;
    store.Read(index.Path(), index.GetSymbol(position), index.FormatType());

    CSymbolDataEditor editor(store, session.User());
    editor.Fill();
    if (!interaction.EditSymbolData(editor)) {
        return SymbolDataOutcome::Cancelled;
    }
    if (!store.Write(true)) {
        return SymbolDataOutcome::NotWritten;
    }
    // The store's copy carries what a download learned (the instrument number).
    ExportSymbolInfo& entry = index.GetSymbol(position);
    entry = store.Symbol();
    entry.firstDate = store.GetFirstDate();
    entry.lastDate = store.GetLastDate();
    const bool saved = index.Save();
    session.SymbolList().SetDirectory(&index);
    return saved ? SymbolDataOutcome::Written : SymbolDataOutcome::IndexNotSaved;
}

} // namespace mvr
