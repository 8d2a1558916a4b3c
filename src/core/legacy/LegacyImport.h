#pragma once

// The takeover of a predecessor installation: its lists become lists of this
// system, its MetaStock folders are registered with their index, and its
// ASCII folders get a new index whose symbols carry the server's instrument
// numbers (the predecessor's own numbers are translated by the server). Each
// run writes its report into the import log.

#include "core/config/DirListInfo.h"
#include "core/config/ExportInfo.h"
#include "core/config/UserInfo.h"
#include "core/legacy/ImportLog.h"
#include "core/legacy/LegacyFormats.h"
#include "core/legacy/LegacySymbolTable.h"
#include "core/net/RunFlag.h"

#include <string>
#include <vector>

namespace mvr {

inline constexpr const char* kSelectLegacyFolderTitle = "Select old qdx-Kavolo directory";
inline constexpr const char* kFormatsFileOpenError = "Error opening KVLO.DAT";
inline constexpr const char* kFormatsFileReadError = "Error reading kvlo.dat information!";
inline constexpr const char* kSymbolTableOpenError = "Error opening kvlo.sdb";

struct LegacyImportResult {
    std::vector<MVRKrsExportInfo> directories;
    std::vector<CMVRDirListInfo> lists;
    CImportLog log;
};

// The import of the predecessor's formats and symbol table into copies of
// the directory and list arrays, with the user's account for the server's
// translation of the predecessor's numbers. A cleared run flag ends the
// translation early and the run before it touches a folder: the arrays it
// returns then are for no one to keep.
LegacyImportResult RunLegacyImport(const ExportUserInfo& user,
                                   std::vector<MVRKrsExportInfo> directories,
                                   std::vector<CMVRDirListInfo> lists,
                                   std::vector<Cqdx_kvlo_format_info> formats,
                                   CLegacySymbolTable symbols, const RunFlag& run);

// The text the log gives a format type: its display name, or a text naming
// the number for a type that has none.
std::string LegacyFormatLogName(int formatType);

} // namespace mvr
