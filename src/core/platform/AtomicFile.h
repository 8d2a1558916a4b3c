#pragma once

// Every file the system writes is replaced atomically: the new content goes to
// a temporary file in the same folder, is flushed to disk and then renamed over
// the old file. A crash, a kill or a full disk leaves the old content or the
// new one, never a torn file.

#include "core/platform/InterruptionPoint.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <system_error>
#include <vector>

namespace mvr {

enum class NewFileAccess {
    Default,   // as the process's file-creation mask allows
    OwnerOnly, // readable and writable by the owner only (files holding secrets)
};

// Replaces (or creates) `path` with `bytes`. An existing file keeps its
// permissions. False when anything failed; the old file is then untouched.
[[nodiscard]] bool WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes,
                                       NewFileAccess access = NewFileAccess::Default);

// Appends `bytes` to `path` (creating it) through the same atomic replacement.
[[nodiscard]] bool AppendFileAtomically(const std::string& path,
                                        std::span<const std::uint8_t> bytes,
                                        NewFileAccess access = NewFileAccess::Default);

// Replaces many files with one flush to disk for all of them: flushing each
// file on its own costs a disk round trip per file, which dominates an update
// of thousands of small price files. Each file is staged in a temporary file
// beside its target; Commit makes all of them durable at once and then
// renames each over its target. Every target holds its old content until its
// own rename, so a crash or a kill at any moment leaves each file old or new,
// as WriteFileAtomically does.
class CAtomicFileGroup {
public:
    CAtomicFileGroup() = default;
    // Temporary files that were staged but not committed are removed.
    ~CAtomicFileGroup();
    CAtomicFileGroup(const CAtomicFileGroup&) = delete;
    CAtomicFileGroup& operator=(const CAtomicFileGroup&) = delete;

    // Writes `bytes` into a new temporary file beside `path`. False (and
    // nothing staged) when that failed.
    [[nodiscard]] bool Stage(const std::string& path, std::span<const std::uint8_t> bytes,
                             NewFileAccess access = NewFileAccess::Default);
    std::size_t StagedCount() const { return staged_.size(); }

    // Flushes every staged file, then replaces the targets in the order they
    // were staged. One result per staged file, in that order: true when its
    // target now holds the new content. The group is empty afterwards.
    [[nodiscard]] std::vector<bool> Commit();

private:
    struct StagedFile {
        std::string target;
        std::string temporary;
    };
    std::vector<StagedFile> staged_;
};

// Why the calling thread's last atomic write, stage or commit failed, as
// errno tells it for a system call ("No space left on device", "Read-only
// file system"); empty when nothing failed since the last clear.
std::error_code LastAtomicWriteError();
void ClearLastAtomicWriteError();

// Test seam: called with the target path once the temporary file is complete
// and flushed, just before it replaces the target. Returning false abandons the
// write there, as a kill at that moment would.
using AtomicWriteInterruption = std::function<bool(const std::string& targetPath)>;

// Puts an interruption in place for every atomic write of the process while
// it lives, then the one it found, so that such objects nest.
class CScopedAtomicWriteInterruption : public CInterruptionScope<const std::string&> {
public:
    explicit CScopedAtomicWriteInterruption(AtomicWriteInterruption hook);
};

} // namespace mvr
