#pragma once

// Where the folder browser of the legacy import starts: the folder of the
// predecessor's uninstaller, as its uninstall entry in the Windows registry
// names it. Other platforms have no such entry.

#include <optional>
#include <string>
#include <string_view>

namespace mvr {

// The program an uninstall command line starts: the arguments after the
// first blank fall away. Nothing for an empty text, and for a quoted one,
// whose program path may itself hold blanks.
std::optional<std::string> ProgramOfUninstallString(std::string_view uninstallString);

// Drive and directory of a program path, ending in a separator; nothing for a
// bare file name.
std::optional<std::string> FolderOfProgramPath(std::string_view programPath);

// The initial folder of the browser; empty when there is none.
std::string LegacyInitialFolder();

} // namespace mvr
