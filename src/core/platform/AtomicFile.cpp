#include "core/platform/AtomicFile.h"

#include "core/platform/FileSystem.h"
#include "core/platform/Paths.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace mvr {

namespace {

std::mutex gHookMutex;
std::shared_ptr<const AtomicWriteInterruption> gHook;

thread_local std::error_code tLastError;

// Keeps the reason of the call that just failed, before clean-up calls
// change errno.
void NoteFailure() {
    tLastError = std::error_code(errno != 0 ? errno : EIO, std::generic_category());
}

// The hook runs outside the lock: it may write files of its own, and a scope
// that ends meanwhile leaves the call in progress its copy.
bool MayReplace(const std::string& target) {
    std::shared_ptr<const AtomicWriteInterruption> hook;
    {
        std::lock_guard lock(gHookMutex);
        hook = gHook;
    }
    return !hook || !*hook || (*hook)(target);
}

// A symbolic link is followed so that the file it names is replaced, not the link.
std::string ResolveTarget(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::is_symlink(path, ec)) {
        auto target = std::filesystem::weakly_canonical(path, ec);
        if (!ec) {
            return target.string();
        }
    }
    return path;
}

std::string TemporaryName(const std::string& target, unsigned attempt) {
    static std::atomic<unsigned> counter{0};
#ifdef _WIN32
    const long pid = _getpid();
#else
    const long pid = static_cast<long>(getpid());
#endif
    const std::string folder = ParentFolder(target);
    return JoinPath(folder, "." + FileNamePart(target) + ".tmp-" + std::to_string(pid) + "-" +
                                std::to_string(counter++) + "-" + std::to_string(attempt));
}

#ifdef _WIN32

int OpenExclusive(const std::string& name, NewFileAccess) {
    return _open(name.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
}

bool WriteAll(int fd, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const unsigned chunk =
            static_cast<unsigned>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        const int n = _write(fd, bytes.data() + done, chunk);
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Windows has no flush of a whole file system: every file is flushed as it
// is closed, and a group gains only the fewer folder flushes.
constexpr bool kFlushesStagedFilesTogether = false;

bool CloseTemporary(int fd, const std::string&, bool flush) {
    const bool flushed = !flush || _commit(fd) == 0;
    return (_close(fd) == 0) && flushed;
}

void FlushStagedFiles(const std::vector<std::string>&) {}

// The rename is written through to disk at once.
bool Rename(const std::string& temporary, const std::string& target) {
    if (MoveFileExA(temporary.c_str(), target.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0) {
        return true;
    }
    tLastError = std::error_code(static_cast<int>(GetLastError()), std::system_category());
    return false;
}

void FlushFolder(const std::string&) {}

void RemoveTemporary(const std::string& name) {
    _unlink(name.c_str());
}

#else

int OpenExclusive(const std::string& name, NewFileAccess access) {
    const mode_t mode = access == NewFileAccess::OwnerOnly ? 0600 : 0666;
    return ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
}

bool WriteAll(int fd, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

#ifdef __linux__
// One syncfs flushes every staged file of a file system at once.
constexpr bool kFlushesStagedFilesTogether = true;
#else
constexpr bool kFlushesStagedFilesTogether = false;
#endif

// Keeps the permissions of the file being replaced.
bool CloseTemporary(int fd, const std::string& target, bool flush) {
    bool ok = true;
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0) {
        ok = ::fchmod(fd, old.st_mode & 07777) == 0;
    }
    ok = (!flush || ::fsync(fd) == 0) && ok;
    return (::close(fd) == 0) && ok;
}

// False when a file system could not be flushed: nothing may then replace
// its target.
bool FlushFileSystemOf(const std::string& folder) {
#ifdef __linux__
    const int fd = ::open(folder.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        NoteFailure();
        return false;
    }
    const bool flushed = ::syncfs(fd) == 0;
    if (!flushed) {
        NoteFailure();
    }
    ::close(fd);
    return flushed;
#else
    (void)folder;
    return true;
#endif
}

bool Rename(const std::string& temporary, const std::string& target) {
    if (::rename(temporary.c_str(), target.c_str()) == 0) {
        return true;
    }
    NoteFailure();
    return false;
}

// Makes the renames in the folder durable.
void FlushFolder(const std::string& folder) {
    const int dir = ::open(folder.c_str(), O_RDONLY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

void RemoveTemporary(const std::string& name) {
    ::unlink(name.c_str());
}

#endif

// Creates a temporary file beside the target and writes the bytes into it,
// flushed to disk when `flush` is set. Its name, or nothing (and no file).
std::optional<std::string> WriteTemporary(const std::string& target,
                                          std::span<const std::uint8_t> bytes, NewFileAccess access,
                                          bool flush) {
    std::string temporary;
    int fd = -1;
    for (unsigned attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = TemporaryName(target, attempt);
        fd = OpenExclusive(temporary, access);
        if (fd < 0 && errno != EEXIST) {
            NoteFailure();
            return std::nullopt;
        }
    }
    if (fd < 0) {
        NoteFailure();
        return std::nullopt;
    }
    errno = 0;
    const bool written = WriteAll(fd, bytes);
    // Closing looks at the target first, which changes errno for a new one.
    const int writeErrno = errno;
    const bool closed = CloseTemporary(fd, target, flush);
    if (!written || !closed) {
        if (!written) {
            errno = writeErrno;
        }
        NoteFailure();
        RemoveTemporary(temporary);
        return std::nullopt;
    }
    return temporary;
}

bool Replace(const std::string& temporary, const std::string& target) {
    if (!MayReplace(target)) {
        tLastError = std::make_error_code(std::errc::operation_canceled);
        RemoveTemporary(temporary);
        return false;
    }
    if (!Rename(temporary, target)) {
        RemoveTemporary(temporary);
        return false;
    }
    return true;
}

bool Contains(const std::vector<std::string>& texts, const std::string& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

} // namespace

bool WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes,
                         NewFileAccess access) {
    const std::string target = ResolveTarget(path);
    const auto temporary = WriteTemporary(target, bytes, access, true);
    if (!temporary || !Replace(*temporary, target)) {
        return false;
    }
    FlushFolder(ParentFolder(target));
    return true;
}

CAtomicFileGroup::~CAtomicFileGroup() {
    for (const StagedFile& file : staged_) {
        RemoveTemporary(file.temporary);
    }
}

bool CAtomicFileGroup::Stage(const std::string& path, std::span<const std::uint8_t> bytes,
                             NewFileAccess access) {
    std::string target = ResolveTarget(path);
    auto temporary = WriteTemporary(target, bytes, access, !kFlushesStagedFilesTogether);
    if (!temporary) {
        return false;
    }
    staged_.push_back({std::move(target), std::move(*temporary)});
    return true;
}

std::vector<bool> CAtomicFileGroup::Commit() {
    std::vector<std::string> folders; // each staged file's folder, once
    for (const StagedFile& file : staged_) {
        std::string folder = ParentFolder(file.target);
        if (!Contains(folders, folder)) {
            folders.push_back(std::move(folder));
        }
    }
    std::vector<std::string> unflushed;
    if (kFlushesStagedFilesTogether) {
        for (const std::string& folder : folders) {
            if (!FlushFileSystemOf(folder)) {
                unflushed.push_back(folder);
            }
        }
    }
    std::vector<bool> replaced;
    for (const StagedFile& file : staged_) {
        const bool flushed = !Contains(unflushed, ParentFolder(file.target));
        if (!flushed) {
            RemoveTemporary(file.temporary);
        }
        replaced.push_back(flushed && Replace(file.temporary, file.target));
    }
    staged_.clear();
    for (const std::string& folder : folders) {
        FlushFolder(folder);
    }
    return replaced;
}

bool AppendFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes,
                          NewFileAccess access) {
    ByteBuffer content;
    if (EntryExists(path)) {
        auto existing = ReadWholeFile(path);
        if (!existing) {
            return false;
        }
        content = std::move(*existing);
    }
    content.insert(content.end(), bytes.begin(), bytes.end());
    return WriteFileAtomically(path, content, access);
}

std::error_code LastAtomicWriteError() {
    return tLastError;
}

void ClearLastAtomicWriteError() {
    tLastError.clear();
}

CScopedAtomicWriteInterruption::CScopedAtomicWriteInterruption(AtomicWriteInterruption hook) {
    auto installed = std::make_shared<const AtomicWriteInterruption>(std::move(hook));
    std::lock_guard lock(gHookMutex);
    previous_ = std::exchange(gHook, std::move(installed));
}

CScopedAtomicWriteInterruption::~CScopedAtomicWriteInterruption() {
    std::lock_guard lock(gHookMutex);
    gHook = std::move(previous_);
}

} // namespace mvr
