#pragma once

// Owned by whoever runs a request (a dialog, the update job); the request only
// reads it and ends every read loop once another thread has set it to 0.

#include <atomic>
#include <cstdint>

namespace mvr {

using RunFlag = std::atomic<std::int32_t>;

} // namespace mvr
