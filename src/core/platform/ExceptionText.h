#pragma once

// The exception being handled, in words for a log line or a summary, for the
// catch-all at the top of a thread or a connection.

#include <string>

namespace mvr {

inline constexpr const char* kOutOfMemoryText = "out of memory";

// Only within a catch block. std::bad_alloc says kOutOfMemoryText (its what()
// names no more); another standard exception its what(); anything else
// "unknown exception". Never throws: when even the text cannot be made, it is
// empty.
std::string CurrentExceptionText() noexcept;

} // namespace mvr
