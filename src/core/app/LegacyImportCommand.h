#pragma once

// The window's command "Import from Kavolo ...": the folder of a predecessor
// installation chosen by the user, its files read and imported, the
// configuration stored and the import log opened at the end.

#include "core/legacy/LegacyImport.h"

namespace mvr {

inline constexpr const char* kImportRunningText = "Kavolo Import";

class CMVRKrsExpSession;
class CUserInteraction;

enum class LegacyImportOutcome {
    Cancelled,           // no folder chosen, or the import was cancelled (nothing changed)
    FormatsFileMissing,  // "kvlo.dat" cannot be opened (said)
    FormatsFileDamaged,  // "kvlo.dat" cannot be read (said)
    SymbolTableMissing,  // "kvlo.sdb" cannot be opened (said)
    SymbolTableDamaged,  // "kvlo.sdb" cannot be read (the predecessor's way: nothing said)
    ConfigFolderMissing, // no configuration folder for the log (said); the application is to quit
    Imported,            // the run reached its end
};

// Runs the import on the session's directory and list arrays. Until the run
// reaches its end the session is not changed; at its end the configuration
// is stored and the lists are shown again with no active list.
LegacyImportOutcome ImportLegacyInstallation(CMVRKrsExpSession& session,
                                             CUserInteraction& interaction);

} // namespace mvr
