#include "core/platform/FileSystem.h"

#include "core/platform/NativePath.h"
#include "core/platform/Paths.h"
#include "core/platform/TextUtil.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace mvr {

namespace fs = std::filesystem;

namespace {

// A file opened for one whole read with the platform's own calls: one size
// query and one read straight into the caller's memory (stdio would read the
// last block twice to find the size, through a buffer of its own).
class CWholeFileReader {
public:
    explicit CWholeFileReader(const std::string& path) {
#ifdef _WIN32
        fd_ = _wopen(NativePath(path).c_str(), _O_RDONLY | _O_BINARY);
#else
        fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
#endif
    }
    ~CWholeFileReader() {
        if (fd_ >= 0) {
#ifdef _WIN32
            _close(fd_);
#else
            ::close(fd_);
#endif
        }
    }
    CWholeFileReader(const CWholeFileReader&) = delete;
    CWholeFileReader& operator=(const CWholeFileReader&) = delete;

    // Nothing when the file did not open or is not a regular file.
    std::optional<std::uint64_t> RegularFileSize() const {
        if (fd_ < 0) {
            return std::nullopt;
        }
#ifdef _WIN32
        struct _stat64 status {};
        if (_fstat64(fd_, &status) != 0 || (status.st_mode & _S_IFMT) != _S_IFREG) {
            return std::nullopt;
        }
#else
        struct stat status {};
        if (::fstat(fd_, &status) != 0 || !S_ISREG(status.st_mode)) {
            return std::nullopt;
        }
#endif
        return static_cast<std::uint64_t>(status.st_size);
    }

    // False unless all `count` bytes arrived: a file cut short since its size
    // was taken must not pass for a whole one.
    bool ReadExactly(std::uint8_t* destination, std::size_t count) {
        std::size_t done = 0;
        while (done < count) {
            // Below INT_MAX: the count type of the Windows call.
            const std::size_t chunk = std::min<std::size_t>(count - done, 1u << 30);
#ifdef _WIN32
            const int n = _read(fd_, destination + done, static_cast<unsigned>(chunk));
#else
            const ssize_t n = ::read(fd_, destination + done, chunk);
            if (n < 0 && errno == EINTR) {
                continue;
            }
#endif
            if (n <= 0) {
                return false;
            }
            done += static_cast<std::size_t>(n);
        }
        return true;
    }

private:
    int fd_ = -1;
};

template <typename Buffer, typename MakeBuffer>
std::optional<Buffer> ReadWhole(const std::string& path, std::uint64_t maxBytes,
                                MakeBuffer makeBuffer) {
    CWholeFileReader file(path);
    const auto size = file.RegularFileSize();
    if (!size || *size > maxBytes || *size > std::numeric_limits<std::size_t>::max()) {
        return std::nullopt;
    }
    Buffer buffer = makeBuffer(static_cast<std::size_t>(*size));
    if (!file.ReadExactly(buffer.data(), buffer.size())) {
        return std::nullopt;
    }
    return buffer;
}

} // namespace

std::optional<ByteBuffer> ReadWholeFile(const std::string& path, std::uint64_t maxBytes) {
    return ReadWhole<ByteBuffer>(path, maxBytes, [](std::size_t size) { return ByteBuffer(size); });
}

std::optional<CFileImage> ReadFileImage(const std::string& path, std::uint64_t maxBytes) {
    return ReadWhole<CFileImage>(path, maxBytes, &CFileImage::WithUnwrittenBytes);
}

std::optional<ByteBuffer> ReadFileRange(const std::string& path, std::uint64_t offset,
                                        std::size_t count) {
#ifdef _WIN32
    std::FILE* file = _wfopen(NativePath(path).c_str(), L"rb");
#else
    std::FILE* file = std::fopen(path.c_str(), "rb");
#endif
    if (file == nullptr) {
        return std::nullopt;
    }
    std::optional<ByteBuffer> result;
    if (offset <= static_cast<std::uint64_t>(LONG_MAX) &&
        std::fseek(file, static_cast<long>(offset), SEEK_SET) == 0) {
        ByteBuffer bytes(count);
        const std::size_t got = count == 0 ? 0 : std::fread(bytes.data(), 1, count, file);
        if (got == count || std::feof(file)) {
            bytes.resize(got);
            result = std::move(bytes);
        }
    }
    std::fclose(file);
    return result;
}

std::optional<std::uint64_t> FileSizeOf(const std::string& path) {
    std::error_code ec;
    const auto size = fs::file_size(NativePath(path), ec);
    if (ec) {
        return std::nullopt;
    }
    return size;
}

bool EntryExists(const std::string& path) {
    if (path.empty() || EndsWithSeparator(path)) {
        return false;
    }
    std::error_code ec;
    return fs::exists(fs::symlink_status(NativePath(path), ec)) && !ec;
}

bool IsDirectory(const std::string& path) {
    std::error_code ec;
    return fs::is_directory(NativePath(path), ec);
}

bool IsRegularFile(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(NativePath(path), ec);
}

bool CreateFolders(const std::string& path) {
    std::error_code ec;
    fs::create_directories(NativePath(path), ec);
    return IsDirectory(path);
}

bool RemoveFile(const std::string& path) {
    std::error_code ec;
    return fs::remove(NativePath(path), ec) && !ec;
}

std::vector<std::string> ListFileNames(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(NativePath(folder), ec), end; !ec && it != end;
         it.increment(ec)) {
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) {
            continue;
        }
        // On Windows a name outside the code page is listed in its short
        // form; a file without one is left out.
        if (const auto path = SystemPath(it->path())) {
            names.push_back(FileNamePart(*path));
        }
    }
    return names;
}

std::optional<std::string> FindFileIgnoringCase(const std::string& folder, std::string_view name) {
    const std::string exact = JoinPath(folder, name);
    if (kCaseSensitiveFileNames && IsRegularFile(exact)) {
        return exact;
    }
    for (const std::string& candidate : ListFileNames(folder)) {
        if (EqualsIgnoreCase(candidate, name)) {
            return JoinPath(folder, candidate);
        }
    }
    return std::nullopt;
}

std::string ResolveFileName(const std::string& folder, std::string_view name) {
    if (auto existing = FindFileIgnoringCase(folder, name)) {
        return *existing;
    }
    return JoinPath(folder, name);
}

#ifdef _WIN32

bool FlushFileSystemOf(const std::string&) {
    return true;
}

void FlushFolderEntries(const std::string&) {}

#else

bool FlushFileSystemOf(const std::string& folder) {
#ifdef __linux__
    const int fd = ::open(folder.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool flushed = ::syncfs(fd) == 0;
    const int reason = errno;
    ::close(fd);
    errno = reason;
    return flushed;
#else
    (void)folder;
    return true;
#endif
}

void FlushFolderEntries(const std::string& folder) {
    const int dir = ::open(folder.c_str(), O_RDONLY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

#endif

} // namespace mvr
