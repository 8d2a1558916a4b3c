#include "core/app/ButtonStates.h"

namespace mvr {

ButtonStates ComputeButtonStates(const MainWindowState& state) {
    // The symbol list shows a directory only while exactly one row is selected.
    const bool oneDirectory = state.selectedDirectoryRows == 1;
    ButtonStates buttons;
    buttons.addList = true;
    buttons.removeList = state.listActive;
    // "Upd" with no active list updates every directory, so it needs one.
    buttons.updateList = state.listActive || !state.directoryArrayEmpty;
    buttons.addDirectory = true;
    // Removing and updating work on every selected row; the settings on one.
    buttons.removeDirectories = state.selectedDirectoryRows >= 1;
    buttons.updateDirectories = state.selectedDirectoryRows >= 1;
    buttons.editDirectory = oneDirectory;
    buttons.findSymbol = !state.directoryArrayEmpty;
    buttons.symbolList = oneDirectory;
    // A linked directory takes its symbols from its catalogue only.
    buttons.addSymbols = oneDirectory && !state.currentDirectoryLinked;
    buttons.deleteSymbols = oneDirectory && state.selectedSymbolRows >= 1;
    buttons.openSymbol = oneDirectory && state.selectedSymbolRows == 1;
    // Both talk to the server with the stored account.
    buttons.updateAllMenu = !state.accountEmpty;
    buttons.importMenu = !state.accountEmpty;
    return buttons;
}

} // namespace mvr
