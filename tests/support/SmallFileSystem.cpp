#include "support/SmallFileSystem.h"

#include "core/platform/Paths.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#ifdef __linux__
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>
#endif

namespace mvr::test {

namespace {

constexpr const char* kFillerName = ".filler";

} // namespace

#ifdef __linux__

SmallFileSystem::SmallFileSystem(std::size_t bytes) : bytes_(bytes) {
    char pattern[] = "/tmp/mvr-smallfs-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) {
        skipReason_ = std::string("no mount point: ") + std::strerror(errno);
        return;
    }
    mountPoint_ = pattern;
    const std::string options = "size=" + std::to_string(bytes_) + ",mode=0755";
    if (::mount("tmpfs", mountPoint_.c_str(), "tmpfs", 0, options.c_str()) != 0) {
        skipReason_ = "this machine does not let the test mount a small file system (" +
                      std::string(std::strerror(errno)) + ")";
        ::rmdir(mountPoint_.c_str());
        return;
    }
    mounted_ = true;
}

SmallFileSystem::~SmallFileSystem() {
    if (mounted_) {
        ::umount2(mountPoint_.c_str(), MNT_DETACH);
    }
    if (!mountPoint_.empty()) {
        ::rmdir(mountPoint_.c_str());
    }
}

void SmallFileSystem::Fill(std::size_t leaveBytes) {
    const std::string filler = File(kFillerName);
    const int fd = ::open(filler.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) {
        return;
    }
    const std::vector<char> block(4096, 'f');
    while (::write(fd, block.data(), block.size()) > 0) {
    }
    // A full page of a tmpfs may hold the last bytes of a partial write.
    while (::write(fd, block.data(), 1) > 0) {
    }
    if (leaveBytes > 0) {
        const off_t size = ::lseek(fd, 0, SEEK_END);
        ::ftruncate(fd, size > static_cast<off_t>(leaveBytes)
                            ? size - static_cast<off_t>(leaveBytes)
                            : 0);
    }
    ::close(fd);
}

bool SmallFileSystem::Remount(bool readOnly) {
    const unsigned long flags = MS_REMOUNT | (readOnly ? MS_RDONLY : 0);
    const std::string options = "size=" + std::to_string(bytes_);
    return mounted_ &&
           ::mount("tmpfs", mountPoint_.c_str(), "tmpfs", flags, options.c_str()) == 0;
}

#else

SmallFileSystem::SmallFileSystem(std::size_t bytes) : bytes_(bytes) {
    skipReason_ = "small file systems are mounted on Linux only";
}

SmallFileSystem::~SmallFileSystem() = default;

void SmallFileSystem::Fill(std::size_t) {}

bool SmallFileSystem::Remount(bool) {
    return false;
}

#endif

bool SmallFileSystem::SetReadOnly(bool readOnly) {
    return Remount(readOnly);
}

bool SmallFileSystem::Resize(std::size_t bytes) {
    bytes_ = bytes;
    return Remount(false);
}

std::string SmallFileSystem::File(const std::string& name) const {
    return JoinPath(mountPoint_, name);
}

void SmallFileSystem::FreeFiller() {
    std::error_code ignored;
    std::filesystem::remove(File(kFillerName), ignored);
}

} // namespace mvr::test
