// mvrkrsexp-batch that kills itself, as a kill from outside would, at one
// step of appending to price files, for the kill tests:
//   MVR_KILL_AT_APPEND_STEP=<step>:<occurrence>
// with the number of the AppendStep and which of its occurrences (from 0).

#include "batch/BatchTool.h"
#include "core/platform/AppendJournal.h"
#include "support/ChildProcess.h"

#include <cstdio>
#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#endif

namespace {

[[noreturn]] void KillThisProcess() {
#ifdef _WIN32
    TerminateProcess(GetCurrentProcess(), mvr::test::kWindowsKilledExitCode);
#else
    std::raise(SIGKILL);
#endif
    std::abort();
}

} // namespace

int main(int argc, char** argv) {
    int step = -1;
    int occurrence = 0;
    if (const char* at = std::getenv("MVR_KILL_AT_APPEND_STEP")) {
        if (std::sscanf(at, "%d:%d", &step, &occurrence) != 2) {
            std::fprintf(stderr, "MVR_KILL_AT_APPEND_STEP is <step>:<occurrence>\n");
            return 2;
        }
    }
    int seen = 0;
    const mvr::CScopedAppendInterruption kill([&](mvr::AppendStep reached) {
        if (static_cast<int>(reached) == step && seen++ == occurrence) {
            KillThisProcess();
        }
        return true;
    });
    return mvr::batch::RunBatchTool(std::vector<std::string>(argv + 1, argv + argc));
}
