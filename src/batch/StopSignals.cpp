#include "batch/StopSignals.h"

#include <csignal>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif

namespace mvr::batch {

namespace {

volatile std::sig_atomic_t stopSignal = 0;

#ifdef _WIN32

// Runs on a thread the system starts for the event.
BOOL WINAPI OnConsoleEvent(DWORD event) {
    const bool second = stopSignal != 0;
    stopSignal = 1;
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        // FALSE hands a second one to the default handler, which ends the process.
        return second ? FALSE : TRUE;
    default:
        // The console is closing, or the user logs off: the process ends as
        // soon as this returns, so wait here while the main thread stops the
        // run at its next step and exits. The system ends the wait after a
        // few seconds in any case.
        Sleep(INFINITE);
        return TRUE;
    }
}

#else

extern "C" void OnStopSignal(int signalNumber) {
    stopSignal = 1;
    std::signal(signalNumber, SIG_DFL);
}

#endif

} // namespace

void InstallStopSignalHandlers() {
#ifdef _WIN32
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
#else
    std::signal(SIGINT, OnStopSignal);
    std::signal(SIGTERM, OnStopSignal);
#endif
}

bool StopSignalReceived() {
    return stopSignal != 0;
}

} // namespace mvr::batch
