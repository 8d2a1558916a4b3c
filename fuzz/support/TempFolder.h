#pragma once

// One folder per process for the readers that take a path: created on first
// use, emptied by the targets as they need, removed when the process ends.

#include <string>

namespace mvr::fuzz {

const std::string& ProcessTempFolder();

// Removes everything inside the folder (not the folder itself).
void EmptyProcessTempFolder();

} // namespace mvr::fuzz
