#pragma once

// The commands behind the main window's buttons, double clicks and the "+"
// beside the lists box, carried out on the session: each gathers its input
// from the two lists, asks the user through the interaction interface and
// brings the session's data, files and lists up to date afterwards. The
// update commands live in CUpdateCommands.

#include "core/net/InstrumentRecord.h"
#include "core/net/RunFlag.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace mvr {

class CMVRKrsExpSession;
class CUserInteraction;
struct RefusedSymbol;

// The step every command that talks to the server starts with: logs in
// unless a login succeeded in this run, and tells the user why not. False
// also when the user cancelled the login.
bool EnsureLoginOrTell(CMVRKrsExpSession& session, CUserInteraction& interaction);

// The instruments the server lists for a catalogue; none when the request
// fails or is cancelled.
std::vector<WATCH> CatalogueMembersOf(std::int32_t catalogueId, const RunFlag& run);

// Every command that stores the configuration does so through these: a store
// that failed is told ("Error Store Export Config") and the run goes on, so
// that the user can make room and the next store writes everything. False
// when the configuration was not stored.
bool StoreConfigOrTell(CMVRKrsExpSession& session, CUserInteraction& interaction);
// For a session operation that stored the configuration itself: `error` is
// what it reported, empty when the store succeeded.
bool TellUnlessStored(CUserInteraction& interaction, const std::string& error);

// Told when the current index could not be saved without the symbols to
// delete: they stay, and so do their price files.
inline constexpr const char* kSymbolsNotRemovedMessage =
    "The symbols could not be removed: the directory's index cannot be written.";
// Told when symbols chosen in the search were added but the index could not
// be saved with them.
inline constexpr const char* kSymbolsNotAddedMessage =
    "The new symbols could not be saved: the directory's index cannot be written.";

class CMainWindowCommands {
public:
    CMainWindowCommands(CMVRKrsExpSession& session, CUserInteraction& interaction)
        : session_(session), interaction_(interaction) {}

    // "+" beside the directory list: the editor for a new directory, then the
    // directory is added, the list rebuilt and the directory's row selected
    // and opened. False when the login failed or the editor was cancelled.
    bool AddDirectory();

    // "-" beside the directory list: asks, removes the selected directories
    // and rebuilds the list; the symbol list is shown again in every case.
    // True when directories were removed.
    bool RemoveSelectedDirectories();

    // "E": the settings of the first selected directory, the interval included.
    bool EditSelectedDirectory();
    // A double click on a directory row: its settings without the interval.
    bool EditDirectoryOfRow(std::size_t row);

    // "-" beside the symbol list: asks, then removes the selected symbols from
    // the current index, saves it and only then deletes their data files (a
    // failed save is told and deletes nothing). True when the user agreed.
    bool DeleteSelectedSymbols();

    // "+" beside the symbol list: the instruments chosen in the symbol search
    // join the current directory. The number of symbols added.
    std::size_t AddChosenInstruments();

    // "+" beside the lists box: a list with the entered name becomes the
    // active list.
    bool AddList();
    // "-" beside the lists box: asks, then removes the active list.
    bool RemoveActiveList();

private:
    bool EditDirectory(std::int32_t directoryIndex, bool withInterval);
    // One message naming the instruments that were left out, when there are any.
    void TellRefused(const std::vector<RefusedSymbol>& refused);

    CMVRKrsExpSession& session_;
    CUserInteraction& interaction_;
};

} // namespace mvr
