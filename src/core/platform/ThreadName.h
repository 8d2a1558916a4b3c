#pragma once

// Names the calling thread so that debuggers and process listings show what
// it does ("SearchPage Fill", "MVR Update"). Linux keeps at most 15
// characters of a name; longer names are cut there.

#include <string>
#include <string_view>

namespace mvr {

// How many characters of a name the platform keeps.
#ifdef __linux__
inline constexpr std::size_t kThreadNameChars = 15;
#else
inline constexpr std::size_t kThreadNameChars = std::string_view::npos;
#endif

void SetCurrentThreadName(std::string_view name);

// The name the platform keeps for the calling thread (empty where it cannot
// be read).
std::string CurrentThreadName();

} // namespace mvr
