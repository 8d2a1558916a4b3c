#pragma once

// What Enter does in the symbol search. The dialog has no default button:
// the control with the focus decides whether Enter confirms the chosen rows
// or starts a search, and nothing happens while a worker runs, so that a
// half-filled list is never handed on.

namespace mvr {

// The dialog's controls as far as Enter tells them apart; a control inside
// one of them (the edit field of the text box) counts as that control.
enum class SearchDialogControl {
    OkButton,
    ResultList,
    SearchButton,
    TextBox,
    SearchKindBox,
    SecurityTypeBox,
    ExchangeBox,
    Other,
};

enum class SearchEnterAction { Nothing, Accept, Search };

SearchEnterAction EnterActionFor(SearchDialogControl focus, bool workerRunning);

} // namespace mvr
