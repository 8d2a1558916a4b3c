#pragma once

// A small file system of the test's own (a tmpfs of a given size) for runs
// that meet a full disk or a folder that turns read-only between two files.
// Mounting needs the right to mount (root in a container, say); where the
// machine refuses, SkipReason() says why and the test skips with it.

#include <cstddef>
#include <string>

namespace mvr::test {

class SmallFileSystem {
public:
    explicit SmallFileSystem(std::size_t bytes);
    ~SmallFileSystem();
    SmallFileSystem(const SmallFileSystem&) = delete;
    SmallFileSystem& operator=(const SmallFileSystem&) = delete;

    bool Mounted() const { return mounted_; }
    const std::string& SkipReason() const { return skipReason_; }

    const std::string& Path() const { return mountPoint_; }
    std::string File(const std::string& name) const;

    // Takes all free space but `leaveBytes` with a file of its own.
    void Fill(std::size_t leaveBytes = 0);
    // Gives that space back.
    void FreeFiller();
    // Remounts the file system read-only or writable again.
    bool SetReadOnly(bool readOnly);
    // Remounts it with room for `bytes` (more room frees space).
    bool Resize(std::size_t bytes);

private:
    bool Remount(bool readOnly);

    std::string mountPoint_;
    std::size_t bytes_;
    bool mounted_ = false;
    std::string skipReason_;
};

} // namespace mvr::test
