#pragma once

// How long a request waits for the server: for a connection to be accepted,
// for each receive and for each send.

#include <chrono>

namespace mvr {

inline constexpr std::chrono::milliseconds kRequestTimeout{30000};

std::chrono::milliseconds RequestTimeout();

// Tests shorten the wait for a silent peer for as long as the object lives;
// it then puts back the wait it found, so that such objects nest. There is
// deliberately no user setting or environment variable for it.
class CScopedRequestTimeout {
public:
    explicit CScopedRequestTimeout(std::chrono::milliseconds timeout);
    ~CScopedRequestTimeout();
    CScopedRequestTimeout(const CScopedRequestTimeout&) = delete;
    CScopedRequestTimeout& operator=(const CScopedRequestTimeout&) = delete;

private:
    std::chrono::milliseconds previous_;
};

} // namespace mvr
