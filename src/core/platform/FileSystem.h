#pragma once

// File access of the core: whole-file reads, existence tests, folders, and the
// lookup of an existing file whose name differs only in letter case (folders
// copied from Windows hold Master, Emaster, ... where the system asks for
// MASTER and EMASTER; folders written by earlier versions hold f1.DAT).

#include "core/platform/FileImage.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mvr {

using ByteBuffer = std::vector<std::uint8_t>;

// The whole content of a regular file, or nothing when it cannot be opened or
// read in full. Files larger than `maxBytes` are refused rather than read.
std::optional<ByteBuffer> ReadWholeFile(const std::string& path,
                                        std::uint64_t maxBytes = std::uint64_t{1} << 32);

// The same as an image for a decoder: the way every index and price file is
// read (see CFileImage).
std::optional<CFileImage> ReadFileImage(const std::string& path,
                                        std::uint64_t maxBytes = std::uint64_t{1} << 32);

// Up to `count` bytes of a file from `offset` on (fewer at its end), or nothing
// when it cannot be opened or read. Index headers and the first and last lines
// of long price files are taken this way without reading the whole file.
std::optional<ByteBuffer> ReadFileRange(const std::string& path, std::uint64_t offset,
                                        std::size_t count);

// Size of a regular file, or nothing when there is none.
std::optional<std::uint64_t> FileSizeOf(const std::string& path);

// True when a file-system entry of exactly this name exists. A name ending in
// a separator never names an entry, as on the platform the rules come from.
bool EntryExists(const std::string& path);
bool IsDirectory(const std::string& path);
bool IsRegularFile(const std::string& path);

// Creates the folder and every missing folder above it; true when it exists afterwards.
bool CreateFolders(const std::string& path);

bool RemoveFile(const std::string& path);

// Flushing many files: Linux flushes a whole file system in one call
// (syncfs), which costs one disk round trip for all the files written into it;
// elsewhere every file is flushed on its own and FlushFileSystemOf does nothing.
#ifdef __linux__
inline constexpr bool kFlushesWholeFileSystems = true;
#else
inline constexpr bool kFlushesWholeFileSystems = false;
#endif

// Makes every written file of the file system holding `folder` durable. False
// (errno set) when that failed.
bool FlushFileSystemOf(const std::string& folder);

// Makes the creations, renames and removals in `folder` durable (Windows
// writes folder entries through by itself).
void FlushFolderEntries(const std::string& folder);

// Names (not paths) of the regular files in a folder, in no defined order.
std::vector<std::string> ListFileNames(const std::string& folder);

// Whether the file system tells names apart by letter case. Where it does not
// (Windows), a file found under another spelling is still named by its own,
// so that rewriting it keeps its name and listings show what is there.
#ifdef _WIN32
inline constexpr bool kCaseSensitiveFileNames = false;
#else
inline constexpr bool kCaseSensitiveFileNames = true;
#endif

// The full path of an existing regular file `name` in `folder` (which ends in a
// separator), matched exactly first and then without regard to letter case.
std::optional<std::string> FindFileIgnoringCase(const std::string& folder, std::string_view name);

// The path under which to open `name` in `folder`: the existing file found by
// FindFileIgnoringCase, otherwise folder + name as given (for a new file).
std::string ResolveFileName(const std::string& folder, std::string_view name);

} // namespace mvr
