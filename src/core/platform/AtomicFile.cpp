#include "core/platform/AtomicFile.h"

#include "core/platform/FileSystem.h"
#include "core/platform/InterruptionPoint.h"
#include "core/platform/NativePath.h"
#include "core/platform/Paths.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <filesystem>
#include <memory>
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

// Just before a complete, flushed temporary file replaces its target.
CInterruptionPoint<const std::string&> gBeforeReplace;

thread_local std::error_code tLastError;

// Keeps the reason of the call that just failed, before clean-up calls
// change errno.
void NoteFailure() {
    tLastError = std::error_code(errno != 0 ? errno : EIO, std::generic_category());
}

// A symbolic link is followed so that the file it names is replaced, not the link.
std::string ResolveTarget(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path native = NativePath(path);
    if (std::filesystem::is_symlink(native, ec)) {
        const auto target = std::filesystem::weakly_canonical(native, ec);
        if (!ec) {
            return SystemPath(target).value_or(path);
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
    return _wopen(NativePath(name).c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY,
                  _S_IREAD | _S_IWRITE);
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

// The flags of the file being replaced that its new content keeps. A
// read-only file is not replaced at all, so that flag never travels.
constexpr DWORD kCarriedAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                     FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

bool TakeAttributesOf(int fd, const std::string& target) {
    const DWORD old = GetFileAttributesW(NativePath(target).c_str());
    if (old == INVALID_FILE_ATTRIBUTES || (old & kCarriedAttributes) == 0) {
        return true;
    }
    FILE_BASIC_INFO info{}; // times of zero stay as they are
    info.FileAttributes = old & kCarriedAttributes;
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    return SetFileInformationByHandle(handle, FileBasicInfo, &info, sizeof info) != 0;
}

bool CloseTemporary(int fd, const std::string& target, bool flush) {
    const bool attributes = TakeAttributesOf(fd, target);
    const bool flushed = !flush || _commit(fd) == 0;
    return (_close(fd) == 0) && flushed && attributes;
}

void NoteWindowsFailure() {
    tLastError = std::error_code(static_cast<int>(GetLastError()), std::system_category());
}

// An existing target is replaced with ReplaceFileW, which keeps its
// security, creation time and short name; a new one is moved into place.
// Both are written through to disk before they return. A folder of the
// target's name is never replaced.
bool Rename(const std::string& temporary, const std::string& target) {
    const std::wstring from = NativePath(temporary).native();
    const std::wstring to = NativePath(target).native();
    const DWORD existing = GetFileAttributesW(to.c_str());
    if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        tLastError = std::error_code(ERROR_ACCESS_DENIED, std::system_category());
        return false;
    }
    const bool replaced =
        existing != INVALID_FILE_ATTRIBUTES
            ? ReplaceFileW(to.c_str(), from.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                           nullptr, nullptr) != 0
            : MoveFileExW(from.c_str(), to.c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    if (!replaced) {
        NoteWindowsFailure();
    }
    return replaced;
}

void RemoveTemporary(const std::string& name) {
    _wunlink(NativePath(name).c_str());
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

bool Rename(const std::string& temporary, const std::string& target) {
    if (::rename(temporary.c_str(), target.c_str()) == 0) {
        return true;
    }
    NoteFailure();
    return false;
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
    if (!gBeforeReplace.MayContinue(target)) {
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
    FlushFolderEntries(ParentFolder(target));
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
    auto temporary = WriteTemporary(target, bytes, access, !kFlushesWholeFileSystems);
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
    if (kFlushesWholeFileSystems) {
        for (const std::string& folder : folders) {
            if (!FlushFileSystemOf(folder)) {
                NoteFailure();
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
        FlushFolderEntries(folder);
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

CScopedAtomicWriteInterruption::CScopedAtomicWriteInterruption(AtomicWriteInterruption hook)
    : CInterruptionScope(gBeforeReplace, std::move(hook)) {}

} // namespace mvr
