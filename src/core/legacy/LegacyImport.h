#pragma once

// The takeover of a predecessor installation: its lists become lists of this
// system, its MetaStock folders are registered with their index, and its
// ASCII folders get a new index whose symbols carry the server's instrument
// numbers (the predecessor's own numbers are translated by the server). Each
// run appends its report to the import log and opens it at the end.

#include <string>

namespace mvr {

class CMVRKrsExpSession;
class CUserInteraction;

inline constexpr const char* kSelectLegacyFolderTitle = "Select old qdx-Kavolo directory";
inline constexpr const char* kFormatsFileOpenError = "Error opening KVLO.DAT";
inline constexpr const char* kFormatsFileReadError = "Error reading kvlo.dat information!";
inline constexpr const char* kSymbolTableOpenError = "Error opening kvlo.sdb";

enum class LegacyImportOutcome {
    Cancelled,           // no folder chosen
    FormatsFileMissing,  // "kvlo.dat" cannot be opened (said)
    FormatsFileDamaged,  // "kvlo.dat" cannot be read (said)
    SymbolTableMissing,  // "kvlo.sdb" cannot be opened (said)
    SymbolTableDamaged,  // "kvlo.sdb" cannot be read (the predecessor's way: nothing said)
    ConfigFolderMissing, // no configuration folder for the log (said); the application is to quit
    Imported,            // the run reached its end
};

// Runs the import on the session's directory and list arrays, with the
// session's account for the server's translation. Until the run reaches its
// end the session is not changed; at its end the configuration is stored and
// the lists are shown again with no active list.
LegacyImportOutcome ImportLegacyInstallation(CMVRKrsExpSession& session,
                                             CUserInteraction& interaction);

// The text the log gives a format type: its display name, or a text naming
// the number for a type that has none.
std::string LegacyFormatLogName(int formatType);

} // namespace mvr
