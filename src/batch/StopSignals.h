#pragma once

// Ctrl+C and SIGTERM (on Windows Ctrl+C, Ctrl+Break and the closing of the
// console window) ask a running update job to stop: the handler only sets a
// flag, which the waiting main thread hands on to the job. A second Ctrl+C
// ends the process at once (every file is still either untouched or
// completely written, because all files are replaced atomically).

namespace mvr::batch {

void InstallStopSignalHandlers();
bool StopSignalReceived();

} // namespace mvr::batch
