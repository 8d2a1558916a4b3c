#include "core/app/MainWindowReactions.h"

#include "core/app/SelectionBoxes.h"
#include "core/app/Session.h"

namespace mvr {

void CMainWindowReactions::ChooseListEntry(std::int32_t entry) {
    session_.User().activeListEntry = entry;
    session_.DirectoryList().ApplyActiveList(ListOfEntry(session_.Lists(), entry));
}

void CMainWindowReactions::ChooseFormatEntry(std::size_t entry) {
    session_.User().formatFilter = FormatFilterOfEntry(entry);
    session_.RefillDirectoryList();
    if (!session_.DirectoryList().ContainsDirectory(session_.CurrentDirectory())) {
        ShowNoSymbols();
    }
}

bool CMainWindowReactions::DirectorySelectionChanged() {
    const CExpDirListModel& list = session_.DirectoryList();
    if (list.Selection().Count() != 1) {
        ShowNoSymbols();
        return true;
    }
    return session_.OpenCurrentDirectory(
        list.RowDirectory(static_cast<std::int64_t>(list.Selection().Rows().front())));
}

bool CMainWindowReactions::CheckBoxChanged(std::size_t row, bool checked) {
    CExpDirListModel& list = session_.DirectoryList();
    const std::int32_t entry = session_.User().activeListEntry;
    const std::int32_t directory = list.RowDirectory(static_cast<std::int64_t>(row));
    if (entry <= 0 || !list.CheckBoxesShown() || directory < 0) {
        return false;
    }
    list.SetChecked(row, checked);
    return session_.SetMembership(static_cast<std::size_t>(entry - 1),
                                  session_.Directories()[static_cast<std::size_t>(directory)].path,
                                  checked);
}

// The current directory stays what it was: a later single selection or
// command names it again.
void CMainWindowReactions::ShowNoSymbols() {
    session_.SymbolList().SetDirectory(nullptr);
}

} // namespace mvr
