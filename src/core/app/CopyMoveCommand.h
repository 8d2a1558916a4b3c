#pragma once

// The main window's answer to symbols dropped on a row of the directory list:
// the copy/move dialog for the selected symbols of the current directory.

#include <cstdint>

namespace mvr {

class CMVRKrsExpSession;
class CUserInteraction;

// Opens the dialog unless no symbol is selected, the login fails (its message
// is shown) or the target is linked to a catalogue (which is said). After OK
// the symbol counts are refreshed, the configuration stored and the current
// index loaded and shown again; the user is told which symbols were not
// copied or moved. True when the dialog ended with OK.
bool CopyOrMoveDroppedSymbols(CMVRKrsExpSession& session, CUserInteraction& interaction,
                              std::int64_t targetRow);

} // namespace mvr
