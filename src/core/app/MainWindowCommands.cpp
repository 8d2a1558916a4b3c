#include "core/app/MainWindowCommands.h"

#include "core/app/DirectoryEditor.h"
#include "core/app/MainWindowReactions.h"
#include "core/app/SelectionBoxes.h"
#include "core/app/Session.h"
#include "core/config/UserInteraction.h"
#include "core/formats/DayNumber.h"
#include "core/formats/SymbolRemoval.h"
#include "core/net/CatalogueRequests.h"
#include "core/net/InstrumentRecord.h"
#include "core/net/IOException.h"
#include "core/net/ProcessState.h"
#include "core/update/InstrumentSymbols.h"
#include "core/update/UpdateRun.h"

#include <cstdio>

namespace mvr {

namespace {

std::string RemoveDirectoriesQuestion(const std::vector<MVRKrsExportInfo>& records) {
    if (records.size() == 1) {
        return "Are you sure you want to remove directory:\n" + records.front().path +
               "\nfrom the kavolo?";
    }
    return "Are you sure you want to remove " + std::to_string(records.size()) +
           " directories from the kavolo?";
}

std::string DeleteSymbolsQuestion(const std::vector<ExportSymbolInfo>& symbols) {
    if (symbols.size() == 1) {
        return "Are you sure you want to remove '" + symbols.front().name + "'?";
    }
    return "Are you sure you want to remove " + std::to_string(symbols.size()) + " symbols?";
}

} // namespace

bool EnsureLoginOrTell(CMVRKrsExpSession& session, CUserInteraction& interaction) {
    std::string message;
    bool loggedIn = false;
    if (!interaction.RunNetworkWork(kPhaseConnecting, [&](const RunFlag& run) {
            loggedIn = session.EnsureLogin(message, run);
        })) {
        return false; // cancelled: nothing to tell
    }
    if (!loggedIn) {
        interaction.ShowMessage(message, MessageIcon::None);
    }
    return loggedIn;
}

std::vector<WATCH> CatalogueMembersOf(std::int32_t catalogueId, const RunFlag& run) {
    std::vector<WATCH> members;
    try {
        if (!LoadCatalogueContents(static_cast<std::int16_t>(catalogueId), LoginNumber(), run,
                                   members)) {
            members.clear();
        }
    } catch (const CIOException&) {
        members.clear();
    }
    return members;
}

bool StoreConfigOrTell(CMVRKrsExpSession& session, CUserInteraction& interaction) {
    std::string error;
    if (session.StoreConfig(&error)) {
        return true;
    }
    return TellUnlessStored(interaction, error.empty() ? kStoreConfigError : error);
}

bool TellUnlessStored(CUserInteraction& interaction, const std::string& error) {
    if (error.empty()) {
        return true;
    }
    interaction.ShowMessage(error, MessageIcon::None);
    return false;
}

bool CMainWindowCommands::AddDirectory() {
    if (!EnsureLoginOrTell(session_, interaction_)) {
        return false;
    }
    DirectoryEditorValues values;
    if (!interaction_.EditDirectory(values)) {
        return false;
    }
    std::vector<WATCH> members;
    if (values.catalogueId != 0 &&
        !interaction_.RunNetworkWork(kPhaseConnecting, [&](const RunFlag& run) {
            members = CatalogueMembersOf(values.catalogueId, run);
        })) {
        return false; // cancelled: no directory is added
    }
    std::vector<RefusedSymbol> refused;
    std::string error;
    session_.AddExportDirectory(values, members, &refused, &error);
    TellRefused(refused);
    TellUnlessStored(interaction_, error);
    session_.RefillDirectoryList();
    // The directory of the path, also when it was there before; a row that the
    // format filter hides is not selected.
    const std::int32_t index = session_.FindDirectoryByPath(values.path);
    if (session_.DirectoryList().SelectDirectory(index)) {
        session_.OpenCurrentDirectory(index);
    }
    return true;
}

bool CMainWindowCommands::RemoveSelectedDirectories() {
    std::vector<MVRKrsExportInfo> records;
    for (const std::int32_t index : session_.DirectoryList().SelectedDirectories()) {
        records.push_back(session_.Directories()[static_cast<std::size_t>(index)]);
    }
    bool removed = false;
    if (!records.empty() &&
        interaction_.AskYesNo(RemoveDirectoriesQuestion(records), MessageIcon::Question)) {
        std::string error;
        (void)session_.RemoveDirectories(records, &error);
        TellUnlessStored(interaction_, error);
        session_.RefillDirectoryList();
        removed = true;
    }
    session_.RedisplayCurrentIndex();
    return removed;
}

bool CMainWindowCommands::EditSelectedDirectory() {
    const std::vector<std::int32_t> selected = session_.DirectoryList().SelectedDirectories();
    if (selected.empty()) {
        return false;
    }
    return EditDirectory(selected.front(), true);
}

bool CMainWindowCommands::EditDirectoryOfRow(std::size_t row) {
    const std::int32_t index =
        session_.DirectoryList().RowDirectory(static_cast<std::int64_t>(row));
    if (session_.Directories().empty() || index < 0) {
        return false;
    }
    return EditDirectory(index, false);
}

bool CMainWindowCommands::EditDirectory(std::int32_t directoryIndex, bool withInterval) {
    if (!EnsureLoginOrTell(session_, interaction_)) {
        return false;
    }
    const MVRKrsExportInfo& record =
        session_.Directories()[static_cast<std::size_t>(directoryIndex)];
    DirectoryEditorValues values;
    values.existing = true;
    values.path = record.path;
    values.formatType = record.formatType;
    // No start date (0.0) lets the editor propose one instead of 30.12.1899.
    values.startDate = record.startDate == 0.0 ? 0 : OleDateToDayNumber(record.startDate);
    values.catalogueId = record.catalogueId;
    values.catalogueName = record.catalogueName;
    if (withInterval) {
        values.interval = record.interval;
    }
    if (!interaction_.EditDirectory(values)) {
        return false;
    }
    std::string error;
    (void)session_.ChangeDirectory(directoryIndex, values, withInterval, &error);
    TellUnlessStored(interaction_, error);
    session_.DirectoryList().RefreshCounts(session_.Directories());
    return true;
}

bool CMainWindowCommands::DeleteSelectedSymbols() {
    CExpSymbolListModel& list = session_.SymbolList();
    std::vector<ExportSymbolInfo> symbols;
    for (const std::size_t row : list.Selection().Rows()) {
        if (const ExportSymbolInfo* symbol = list.SymbolOfRow(row)) {
            symbols.push_back(*symbol);
        }
    }
    if (symbols.empty()) {
        return false;
    }
    const bool agreed =
        interaction_.AskYesNo(DeleteSymbolsQuestion(symbols), MessageIcon::Question);
    if (agreed) {
        // A symbol without a server number (0) is found by its text only: the
        // first symbol of number 0 may be another one.
        const SymbolRemoval removal =
            RemoveSymbols(session_.CurrentIndex(), symbols, SymbolIdentity::NumberOrText);
        if (!removal.saved) {
            interaction_.ShowMessage(kSymbolsNotRemovedMessage, MessageIcon::Exclamation);
        }
        session_.DirectoryList().RefreshCounts(session_.Directories());
    }
    StoreConfigOrTell(session_, interaction_);
    session_.RedisplayCurrentIndex();
    return agreed;
}

std::size_t CMainWindowCommands::AddChosenInstruments() {
    const std::int32_t current = session_.CurrentDirectory();
    if (current < 0 || static_cast<std::size_t>(current) >= session_.Directories().size() ||
        session_.Directories()[static_cast<std::size_t>(current)].IsLinked()) {
        // A linked directory takes its symbols from its catalogue only.
        return 0;
    }
    if (!EnsureLoginOrTell(session_, interaction_)) {
        return 0;
    }
    WindowLayout& layout = session_.Layout();
    ExportUserInfo& user = session_.User();
    SearchDialogState state{layout.searchPlacement, layout.searchSplitterPosition,
                            user.searchSortColumn, user.searchSortFlag};
    std::vector<WATCH> chosen;
    if (!interaction_.ChooseInstruments(state, chosen)) {
        return 0;
    }
    layout.searchPlacement = state.placement;
    layout.searchSplitterPosition = state.splitterPosition;
    user.searchSortColumn = state.sortColumn;
    user.searchSortFlag = state.sortFlag;

    AddedInstruments added;
    if (!chosen.empty()) {
        CExportDirectory& index = session_.CurrentIndex();
        const std::uint16_t interval =
            session_.Directories()[static_cast<std::size_t>(current)].interval;
        added = AddInstrumentSymbols(index, chosen, {index.StartDate(), 0.0, interval});
        if (!index.Save()) {
            interaction_.ShowMessage(kSymbolsNotAddedMessage, MessageIcon::Exclamation);
        }
        TellRefused(added.refused);
    }
    // The dialog's placement and sort state are kept also when nothing was chosen.
    StoreConfigOrTell(session_, interaction_);
    session_.DirectoryList().RefreshCounts(session_.Directories());
    // Shown again as a new directory would be (no selection), but as inserted
    // rows: the view keeps its place in a long list.
    session_.SymbolList().SymbolsAppended();
    session_.SymbolList().ClearSelection();
    return added.added;
}

void CMainWindowCommands::TellRefused(const std::vector<RefusedSymbol>& refused) {
    if (refused.empty()) {
        return;
    }
    std::string text;
    for (const RefusedSymbol& symbol : refused) {
        text += (text.empty() ? "" : "\n") + RefusedSymbolText(symbol);
    }
    interaction_.ShowMessage(text, MessageIcon::None);
}

bool CMainWindowCommands::AddList() {
    std::string name;
    if (!interaction_.AskListName(session_.Lists(), name)) {
        return false;
    }
    // Stored again below with the new list active: only that store is told.
    (void)session_.AddList(name);
    CMainWindowReactions(session_).ChooseListEntry(
        ListsBoxEntryStartingWith(session_.Lists(), name).value_or(0));
    StoreConfigOrTell(session_, interaction_);
    return true;
}

bool CMainWindowCommands::RemoveActiveList() {
    const std::int32_t entry = session_.User().activeListEntry;
    const CMVRDirListInfo* list = ListOfEntry(session_.Lists(), entry);
    if (list == nullptr) {
        return false;
    }
    if (!interaction_.AskYesNo("Remove list '" + list->name + "'?", MessageIcon::None)) {
        return false;
    }
    // Stores the configuration with no list active; the rows keep their
    // check boxes until the lists box changes next.
    std::string error;
    const bool removed = session_.RemoveList(static_cast<std::size_t>(entry - 1), &error);
    TellUnlessStored(interaction_, error);
    // The list is gone from memory also when the store failed.
    return removed || !error.empty();
}

} // namespace mvr
