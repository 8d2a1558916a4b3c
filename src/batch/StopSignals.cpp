#include "batch/StopSignals.h"

#include <csignal>

namespace mvr::batch {

namespace {

volatile std::sig_atomic_t stopSignal = 0;

extern "C" void OnStopSignal(int signalNumber) {
    stopSignal = 1;
    std::signal(signalNumber, SIG_DFL);
}

} // namespace

void InstallStopSignalHandlers() {
    std::signal(SIGINT, OnStopSignal);
    std::signal(SIGTERM, OnStopSignal);
}

bool StopSignalReceived() {
    return stopSignal != 0;
}

} // namespace mvr::batch
