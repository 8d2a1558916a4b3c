#pragma once

// An open file read and written at explicit offsets, with the platform's own
// calls: the tail of a price file is read and new records appended without
// reading or rewriting what lies before them.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <system_error>
#include <vector>

namespace mvr {

using ByteBuffer = std::vector<std::uint8_t>;

enum class FileOpening {
    ReadOnly,  // an existing file
    ReadWrite, // an existing file
    // Exclusive forms: held by one process at a time (an advisory lock on
    // POSIX, a handle that shares nothing on Windows). Another process that
    // holds the file makes the open fail with std::errc::resource_unavailable_try_again.
    CreateExclusive,   // a new file; an existing one makes the open fail
    ExistingExclusive, // an existing file
};

class CRandomAccessFile {
public:
    // Nothing when the file could not be opened; `error` (optional) says why.
    static std::optional<CRandomAccessFile> Open(const std::string& path, FileOpening opening,
                                                 std::error_code* error = nullptr);

    CRandomAccessFile(CRandomAccessFile&& other) noexcept;
    CRandomAccessFile& operator=(CRandomAccessFile&& other) noexcept;
    CRandomAccessFile(const CRandomAccessFile&) = delete;
    CRandomAccessFile& operator=(const CRandomAccessFile&) = delete;
    ~CRandomAccessFile();

    const std::string& Path() const { return path_; }

    // The length, and whether it is a regular file; nothing when the query failed.
    std::optional<std::uint64_t> RegularFileSize() const;
    // Up to `count` bytes from `offset` (fewer at the end of the file).
    std::optional<ByteBuffer> ReadAt(std::uint64_t offset, std::size_t count) const;
    // All bytes or false.
    [[nodiscard]] bool WriteAt(std::uint64_t offset, std::span<const std::uint8_t> bytes);
    [[nodiscard]] bool Truncate(std::uint64_t length);
    // Makes the content durable.
    [[nodiscard]] bool Flush();
    // Removes the file's name while the file stays open (and, for the
    // exclusive forms, held): nobody can open it afterwards.
    [[nodiscard]] bool RemoveWhileOpen();
    // False once the file's name has gone (it was removed while this object
    // had it open).
    bool IsStillNamed() const;

    // Why the last failed call of this object failed.
    std::error_code LastError() const { return error_; }

private:
    using Handle = std::intptr_t;
    CRandomAccessFile(std::string path, Handle handle) : path_(std::move(path)), handle_(handle) {}
    void Close();
    bool Fail();

    std::string path_;
    Handle handle_; // -1 once closed
    mutable std::error_code error_;
    bool removed_ = false;
};

} // namespace mvr
