#include "core/net/RequestTimeout.h"

#include <atomic>

namespace mvr {

namespace {

std::atomic<std::chrono::milliseconds::rep> gTimeoutMs{kRequestTimeout.count()};

} // namespace

std::chrono::milliseconds RequestTimeout() {
    return std::chrono::milliseconds(gTimeoutMs.load());
}

void SetRequestTimeoutForTesting(std::chrono::milliseconds timeout) {
    gTimeoutMs.store(timeout.count());
}

} // namespace mvr
