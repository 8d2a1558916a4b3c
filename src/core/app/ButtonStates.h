#pragma once

// Which buttons and menu items of the main window are enabled, as a function
// of what the window shows: the selections of the two lists, the active list,
// the current directory and the account.

#include <cstddef>

namespace mvr {

struct MainWindowState {
    std::size_t selectedDirectoryRows = 0;
    std::size_t selectedSymbolRows = 0;
    bool listActive = false;
    bool currentDirectoryLinked = false; // linked to a server catalogue
    bool directoryArrayEmpty = true;
    bool accountEmpty = true;
};

struct ButtonStates {
    bool addList = true;            // "+" beside the lists box
    bool removeList = false;        // "-" beside the lists box
    bool updateList = false;        // "Upd"
    bool addDirectory = true;       // "+" beside the directory list
    bool removeDirectories = false; // "-"
    bool updateDirectories = false; // "U"
    bool editDirectory = false;     // "E"
    bool findSymbol = false;        // "S"
    bool symbolList = false;        // the symbol list itself
    bool addSymbols = false;        // "+" beside the symbol list
    bool deleteSymbols = false;     // "-" beside the symbol list
    bool openSymbol = false;        // "C"
    bool updateAllMenu = false;     // "Update all directories"
    bool importMenu = false;        // "Import from Kavolo ..."

    bool operator==(const ButtonStates&) const = default;
};

ButtonStates ComputeButtonStates(const MainWindowState& state);

} // namespace mvr
