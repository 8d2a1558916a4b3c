#pragma once

// Where the running program lies, so that a scheduler can start it again.

#include <optional>
#include <string>

namespace mvr {

// The absolute path of the running program's executable; nothing when the
// system does not tell.
std::optional<std::string> CurrentProgramPath();

} // namespace mvr
