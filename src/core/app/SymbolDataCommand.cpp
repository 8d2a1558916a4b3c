#include "core/app/SymbolDataCommand.h"

#include "core/app/Session.h"
#include "core/config/UserInteraction.h"
#include "core/editing/SymbolDataEditor.h"
#include "core/net/UserRequests.h"

namespace mvr {

namespace {

bool LoginFirst(CMVRKrsExpSession& session, CUserInteraction& interaction,
                SymbolDataTrigger trigger) {
    std::string message;
    if (trigger == SymbolDataTrigger::OpenButton) {
        Login(session.User().account, session.User().password, message);
        return true;
    }
    if (!session.EnsureLogin(message)) {
        interaction.ShowMessage(message, MessageIcon::None);
        return false;
    }
    return true;
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
    index.Save();
    session.SymbolList().SetDirectory(&index);
    return SymbolDataOutcome::Written;
}

} // namespace mvr
