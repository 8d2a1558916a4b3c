#pragma once

// The desktop program's start: the definition-file run without a window, or
// the main window for the whole interactive or batch run.

namespace mvr::gui {

// The process's exit status: 0 for an interactive run, the status of the
// run's end for a batch switch or a definition file.
int RunApplication(int argc, char** argv);

} // namespace mvr::gui
