#include "core/platform/AtomicFile.h"

#include "core/platform/FileSystem.h"
#include "core/platform/Paths.h"

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <mutex>
#include <string>
#include <system_error>

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
AtomicWriteInterruption gHook;

bool MayReplace(const std::string& target) {
    std::lock_guard lock(gHookMutex);
    return !gHook || gHook(target);
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

bool FlushAndClose(int fd, const std::string&) {
    const bool flushed = _commit(fd) == 0;
    return (_close(fd) == 0) && flushed;
}

bool Replace(const std::string& temporary, const std::string& target) {
    return MoveFileExA(temporary.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

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

// Keeps the permissions of the file being replaced.
bool FlushAndClose(int fd, const std::string& target) {
    bool ok = true;
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0) {
        ok = ::fchmod(fd, old.st_mode & 07777) == 0;
    }
    ok = (::fsync(fd) == 0) && ok;
    return (::close(fd) == 0) && ok;
}

// The rename is made durable by flushing the folder that holds both names.
bool Replace(const std::string& temporary, const std::string& target) {
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        return false;
    }
    const int dir = ::open(ParentFolder(target).c_str(), O_RDONLY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

void RemoveTemporary(const std::string& name) {
    ::unlink(name.c_str());
}

#endif

} // namespace

bool WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes,
                         NewFileAccess access) {
    const std::string target = ResolveTarget(path);
    std::string temporary;
    int fd = -1;
    for (unsigned attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = TemporaryName(target, attempt);
        fd = OpenExclusive(temporary, access);
        if (fd < 0 && errno != EEXIST) {
            return false;
        }
    }
    if (fd < 0) {
        return false;
    }
    const bool written = WriteAll(fd, bytes);
    const bool closed = FlushAndClose(fd, target);
    if (!written || !closed || !MayReplace(target) || !Replace(temporary, target)) {
        RemoveTemporary(temporary);
        return false;
    }
    return true;
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

void SetAtomicWriteInterruptionForTesting(AtomicWriteInterruption hook) {
    std::lock_guard lock(gHookMutex);
    gHook = std::move(hook);
}

} // namespace mvr
