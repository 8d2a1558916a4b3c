#pragma once

// Appending to many files of one folder so that a kill or a crash at any
// moment leaves every file as it was or with all of its new bytes, without
// rewriting the files.
//
// Before the first byte is appended, a rollback journal in the folder records
// each file's length and its first bytes (those the append changes, such as a
// record count in a header) and is flushed to disk. The files are then
// appended to and flushed, and the journal is removed. A journal found later
// (RecoverInterruptedAppend, run when a folder is opened) means the group did
// not finish: every file it names is cut back to its length and gets its
// first bytes back. The journal is held locked while its group runs, so that
// a reader never rolls back a group in progress.

#include "core/platform/Bytes.h"
#include "core/platform/InterruptionPoint.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <system_error>
#include <vector>

namespace mvr {

using ByteBuffer = std::vector<std::uint8_t>;

inline constexpr const char* kAppendJournalName = ".mvr-append-journal";

// What the journal keeps of one file to give it back.
struct AppendJournalEntry {
    std::string fileName; // within the journal's folder
    std::uint64_t length = 0;
    ByteBuffer header; // the file's bytes from offset 0 before the append

    bool operator==(const AppendJournalEntry&) const = default;
};

// The journal's bytes: a signature, the entries, and a CRC-32 of all that, so
// that a journal cut short while it was written is recognised.
ByteBuffer EncodeAppendJournal(std::span<const AppendJournalEntry> entries);
// Nothing for bytes that are not a whole journal.
std::optional<std::vector<AppendJournalEntry>>
DecodeAppendJournal(std::span<const std::uint8_t> bytes);

class CFileAppendGroup {
public:
    explicit CFileAppendGroup(std::string folder);
    CFileAppendGroup(const CFileAppendGroup&) = delete;
    CFileAppendGroup& operator=(const CFileAppendGroup&) = delete;

    const std::string& Folder() const { return folder_; }

    // Adds the append of `bytes` to the file `fileName` of the folder, which
    // must then be `expectedLength` bytes long; `header` (may be empty)
    // replaces the file's first bytes once the bytes are appended.
    void Stage(std::string fileName, std::uint64_t expectedLength, ByteBuffer header,
               ByteBuffer bytes);
    std::size_t StagedCount() const { return staged_.size(); }

    // Appends the staged files. A file that cannot be opened for writing or
    // no longer has its expected length is left out; the others are appended
    // all or none: on any failure of the append every one of them is given
    // back as it was. One result per staged file, in that order: true when
    // the file now holds its new bytes. The group is empty afterwards.
    [[nodiscard]] std::vector<bool> Commit();
    // Why the last Commit left a file out or failed.
    std::error_code LastError() const { return error_; }

private:
    struct StagedAppend {
        std::string fileName;
        std::uint64_t expectedLength;
        ByteBuffer header;
        ByteBuffer bytes;
    };
    class CCommit;

    std::string folder_;
    std::vector<StagedAppend> staged_;
    std::error_code error_;
};

enum class AppendRecovery {
    NoJournal,
    RolledBack, // an interrupted group was undone
    Discarded,  // a journal cut short while written, before any file was touched
    InUse,      // another process's group is running
    Failed,     // the journal could not be read or a file not given back: the journal stays
};

AppendRecovery RecoverInterruptedAppend(const std::string& folder,
                                        std::error_code* error = nullptr);

// The steps of a commit at which a kill leaves a distinct state on disk.
enum class AppendStep {
    JournalWritten, // not yet flushed
    JournalFlushed, // no file touched yet
    FileAppended,   // one file's bytes appended, its header not yet changed
    FilesFlushed,   // every file complete and durable, the journal still there
};

// Test seam: called at each step; returning false abandons the commit there
// as a kill would (the journal and the files stay as they are).
using AppendInterruption = std::function<bool(AppendStep step)>;

// Puts an interruption in place for every append group of the process while
// it lives, then the one it found.
class CScopedAppendInterruption : public CInterruptionScope<AppendStep> {
public:
    explicit CScopedAppendInterruption(AppendInterruption hook);
};

} // namespace mvr
