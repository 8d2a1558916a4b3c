#pragma once

// Every file the system writes is replaced atomically: the new content goes to
// a temporary file in the same folder, is flushed to disk and then renamed over
// the old file. A crash, a kill or a full disk leaves the old content or the
// new one, never a torn file.

#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace mvr {

enum class NewFileAccess {
    Default,   // as the process's file-creation mask allows
    OwnerOnly, // readable and writable by the owner only (files holding secrets)
};

// Replaces (or creates) `path` with `bytes`. An existing file keeps its
// permissions. False when anything failed; the old file is then untouched.
bool WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes,
                         NewFileAccess access = NewFileAccess::Default);

// Appends `bytes` to `path` (creating it) through the same atomic replacement.
bool AppendFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes,
                          NewFileAccess access = NewFileAccess::Default);

// Test seam: called with the target path once the temporary file is complete
// and flushed, just before it replaces the target. Returning false abandons the
// write there, as a kill at that moment would. Pass an empty function to clear.
using AtomicWriteInterruption = std::function<bool(const std::string& targetPath)>;
void SetAtomicWriteInterruptionForTesting(AtomicWriteInterruption hook);

} // namespace mvr
