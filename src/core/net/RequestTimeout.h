#pragma once

// How long a request waits for the server: for a connection to be accepted,
// for each receive and for each send.

#include <chrono>

namespace mvr {

inline constexpr std::chrono::milliseconds kRequestTimeout{30000};

std::chrono::milliseconds RequestTimeout();

// Tests shorten the wait for a silent peer. There is deliberately no user
// setting or environment variable for it.
void SetRequestTimeoutForTesting(std::chrono::milliseconds timeout);

} // namespace mvr
