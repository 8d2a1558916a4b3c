#include "core/platform/RandomAccessFile.h"

#include "core/platform/NativePath.h"

#include <algorithm>
#include <cerrno>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace mvr {

namespace {

// Below INT_MAX and DWORD's range: the count types of the system calls.
constexpr std::size_t kMaxChunk = std::size_t{1} << 30;

} // namespace

#ifdef _WIN32

namespace {

HANDLE AsHandle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

std::error_code WindowsError() {
    const DWORD code = GetLastError();
    if (code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION) {
        return std::make_error_code(std::errc::resource_unavailable_try_again);
    }
    if (code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS) {
        return std::make_error_code(std::errc::file_exists);
    }
    return {static_cast<int>(code), std::system_category()};
}

OVERLAPPED At(std::uint64_t offset) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return at;
}

} // namespace

std::optional<CRandomAccessFile>
CRandomAccessFile::Open(const std::string& path, FileOpening opening, std::error_code* error) {
    DWORD access = GENERIC_READ;
    DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    DWORD disposition = OPEN_EXISTING;
    switch (opening) {
    case FileOpening::ReadOnly:
        break;
    case FileOpening::ReadWrite:
        access |= GENERIC_WRITE;
        break;
    case FileOpening::CreateExclusive:
        disposition = CREATE_NEW;
        [[fallthrough]];
    case FileOpening::ExistingExclusive:
        access |= GENERIC_WRITE | DELETE;
        share = 0;
        break;
    }
    const HANDLE handle = CreateFileW(NativePath(path).c_str(), access, share, nullptr, disposition,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        if (error != nullptr) {
            *error = WindowsError();
        }
        return std::nullopt;
    }
    return CRandomAccessFile(path, reinterpret_cast<std::intptr_t>(handle));
}

void CRandomAccessFile::Close() {
    if (handle_ != -1) {
        CloseHandle(AsHandle(handle_));
        handle_ = -1;
    }
}

bool CRandomAccessFile::Fail() {
    error_ = WindowsError();
    return false;
}

std::optional<std::uint64_t> CRandomAccessFile::RegularFileSize() const {
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileInformationByHandle(AsHandle(handle_), &info) == 0 ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        error_ = WindowsError();
        return std::nullopt;
    }
    return (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
}

std::optional<ByteBuffer> CRandomAccessFile::ReadAt(std::uint64_t offset, std::size_t count) const {
    ByteBuffer bytes(count);
    std::size_t done = 0;
    while (done < count) {
        OVERLAPPED at = At(offset + done);
        DWORD got = 0;
        const auto chunk = static_cast<DWORD>(std::min(count - done, kMaxChunk));
        if (ReadFile(AsHandle(handle_), bytes.data() + done, chunk, &got, &at) == 0) {
            if (GetLastError() == ERROR_HANDLE_EOF) {
                break;
            }
            error_ = WindowsError();
            return std::nullopt;
        }
        if (got == 0) {
            break;
        }
        done += got;
    }
    bytes.resize(done);
    return bytes;
}

bool CRandomAccessFile::WriteAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        OVERLAPPED at = At(offset + done);
        DWORD put = 0;
        const auto chunk = static_cast<DWORD>(std::min(bytes.size() - done, kMaxChunk));
        if (WriteFile(AsHandle(handle_), bytes.data() + done, chunk, &put, &at) == 0 || put == 0) {
            return Fail();
        }
        done += put;
    }
    return true;
}

bool CRandomAccessFile::Truncate(std::uint64_t length) {
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = static_cast<LONGLONG>(length);
    return SetFileInformationByHandle(AsHandle(handle_), FileEndOfFileInfo, &end, sizeof end) != 0
               ? true
               : Fail();
}

bool CRandomAccessFile::Flush() {
    return FlushFileBuffers(AsHandle(handle_)) != 0 ? true : Fail();
}

bool CRandomAccessFile::RemoveWhileOpen() {
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = TRUE;
    if (SetFileInformationByHandle(AsHandle(handle_), FileDispositionInfo, &disposition,
                                   sizeof disposition) == 0) {
        return Fail();
    }
    removed_ = true;
    return true;
}

bool CRandomAccessFile::IsStillNamed() const {
    // Nobody else can remove a file this process holds without sharing.
    return !removed_;
}

#else

std::optional<CRandomAccessFile>
CRandomAccessFile::Open(const std::string& path, FileOpening opening, std::error_code* error) {
    int flags = O_CLOEXEC;
    switch (opening) {
    case FileOpening::ReadOnly:
        flags |= O_RDONLY;
        break;
    case FileOpening::ReadWrite:
    case FileOpening::ExistingExclusive:
        flags |= O_RDWR;
        break;
    case FileOpening::CreateExclusive:
        flags |= O_RDWR | O_CREAT | O_EXCL;
        break;
    }
    const int fd = ::open(path.c_str(), flags, 0666);
    const bool exclusive =
        opening == FileOpening::CreateExclusive || opening == FileOpening::ExistingExclusive;
    if (fd >= 0 && exclusive && ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int reason = errno == EWOULDBLOCK ? EAGAIN : errno;
        ::close(fd);
        if (error != nullptr) {
            *error = {reason, std::generic_category()};
        }
        return std::nullopt;
    }
    if (fd < 0) {
        if (error != nullptr) {
            *error = {errno, std::generic_category()};
        }
        return std::nullopt;
    }
    return CRandomAccessFile(path, fd);
}

void CRandomAccessFile::Close() {
    if (handle_ >= 0) {
        ::close(static_cast<int>(handle_));
        handle_ = -1;
    }
}

bool CRandomAccessFile::Fail() {
    error_ = {errno != 0 ? errno : EIO, std::generic_category()};
    return false;
}

std::optional<std::uint64_t> CRandomAccessFile::RegularFileSize() const {
    struct stat status {};
    if (::fstat(static_cast<int>(handle_), &status) != 0) {
        error_ = {errno, std::generic_category()};
        return std::nullopt;
    }
    if (!S_ISREG(status.st_mode)) {
        error_ = std::make_error_code(std::errc::not_supported);
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(status.st_size);
}

std::optional<ByteBuffer> CRandomAccessFile::ReadAt(std::uint64_t offset, std::size_t count) const {
    ByteBuffer bytes(count);
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n =
            ::pread(static_cast<int>(handle_), bytes.data() + done,
                    std::min(count - done, kMaxChunk), static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            error_ = {errno, std::generic_category()};
            return std::nullopt;
        }
        if (n == 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    bytes.resize(done);
    return bytes;
}

bool CRandomAccessFile::WriteAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::pwrite(static_cast<int>(handle_), bytes.data() + done,
                     std::min(bytes.size() - done, kMaxChunk), static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return Fail();
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool CRandomAccessFile::Truncate(std::uint64_t length) {
    return ::ftruncate(static_cast<int>(handle_), static_cast<off_t>(length)) == 0 ? true : Fail();
}

bool CRandomAccessFile::Flush() {
    return ::fsync(static_cast<int>(handle_)) == 0 ? true : Fail();
}

bool CRandomAccessFile::RemoveWhileOpen() {
    if (::unlink(path_.c_str()) != 0) {
        return Fail();
    }
    removed_ = true;
    return true;
}

bool CRandomAccessFile::IsStillNamed() const {
    struct stat status {};
    return ::fstat(static_cast<int>(handle_), &status) == 0 && status.st_nlink > 0;
}

#endif

CRandomAccessFile::CRandomAccessFile(CRandomAccessFile&& other) noexcept
    : path_(std::move(other.path_)), handle_(std::exchange(other.handle_, -1)),
      error_(other.error_), removed_(other.removed_) {}

CRandomAccessFile& CRandomAccessFile::operator=(CRandomAccessFile&& other) noexcept {
    if (this != &other) {
        Close();
        path_ = std::move(other.path_);
        handle_ = std::exchange(other.handle_, -1);
        error_ = other.error_;
        removed_ = other.removed_;
    }
    return *this;
}

CRandomAccessFile::~CRandomAccessFile() {
    Close();
}

} // namespace mvr
