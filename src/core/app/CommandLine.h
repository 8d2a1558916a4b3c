#pragma once

// The command line: which kind of run it asks for, and which directories a
// batch switch selects for the update job.

#include "core/config/DirListInfo.h"
#include "core/config/ExportInfo.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mvr {

enum class RunKind {
    Window,         // the main window is shown; a batch switch may be processed later
    DefinitionFile, // one definition file is exchanged without any window
};

struct StartupArguments {
    RunKind kind = RunKind::Window;
    std::string firstArgument;  // the batch switch; empty in an interactive run
    std::string secondArgument; // its value; empty when absent
    std::string definitionInput;
    std::string definitionOutput;
};

// `arguments` excludes the program path. Leading "-nowindow" arguments are
// dropped; exactly four remaining arguments starting with "-definitionfile"
// make a definition-file run (input second, output fourth).
StartupArguments AnalyseArguments(const std::vector<std::string>& arguments);

inline constexpr std::int32_t kUpdateModeList = 0;
inline constexpr std::int32_t kUpdateModeMarked = 1;
inline constexpr std::int32_t kUpdateModeFull = 2;
inline constexpr std::int32_t kUpdateModeEditor = 3;

struct BatchSelection {
    bool switchRecognised = false;
    std::vector<std::int32_t> directories; // indices into the directory array, in job order
    std::int32_t mode = kUpdateModeFull;
    bool realtime = false;
    bool unattended = true;
};

// The switch of a full update, which a run without a named switch makes.
inline constexpr const char* kUpdateAllSwitch = "-updateall";

// What an update switch selects: every directory, a directory by its path,
// or the directories of a list by its name.
enum class SwitchSelection { All, Directory, List };

struct BatchSwitchKind {
    SwitchSelection selection = SwitchSelection::All;
    bool realtime = false; // the "rt" form
};

// One of the six update switches, without regard to letter case.
bool IsBatchSwitch(std::string_view firstArgument);

// What the switch selects; nothing for a text that is no update switch.
std::optional<BatchSwitchKind> BatchSwitchKindOf(std::string_view firstArgument);

// The switch that selects so ("-listupdatert", ...).
const char* BatchSwitchFor(const BatchSwitchKind& kind);

// An update switch that selects by its value (a directory's path, a list's
// name), without regard to letter case.
bool BatchSwitchTakesValue(std::string_view firstArgument);

// The six update switches, compared after lower-casing the first argument; the
// second argument loses every double quote. A directory path gets a trailing
// separator; paths and list names are compared without regard to letter case.
BatchSelection SelectBatchDirectories(std::string_view firstArgument,
                                      std::string_view secondArgument,
                                      const std::vector<MVRKrsExportInfo>& directories,
                                      const std::vector<CMVRDirListInfo>& lists);

} // namespace mvr
