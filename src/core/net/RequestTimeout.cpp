#include "core/net/RequestTimeout.h"

#include <atomic>

namespace mvr {

namespace {

std::atomic<std::chrono::milliseconds::rep> gTimeoutMs{kRequestTimeout.count()};

} // namespace

std::chrono::milliseconds RequestTimeout() {
    return std::chrono::milliseconds(gTimeoutMs.load());
}

CScopedRequestTimeout::CScopedRequestTimeout(std::chrono::milliseconds timeout)
    : previous_(gTimeoutMs.exchange(timeout.count())) {}

CScopedRequestTimeout::~CScopedRequestTimeout() {
    gTimeoutMs.store(previous_.count());
}

} // namespace mvr
