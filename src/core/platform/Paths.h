#pragma once

// Directory paths of the system end in the native separator. Paths are
// compared without regard to letter case, as on the platform the records
// come from.

#include <string>
#include <string_view>

namespace mvr {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// The longest path a record field holds (260 bytes with the terminator).
inline constexpr std::size_t kMaxPathChars = 259;

bool EndsWithSeparator(std::string_view path);

// The path with exactly one separator appended when it does not end in one;
// an empty path becomes a single separator.
std::string WithTrailingSeparator(std::string_view path);

// The path with one trailing separator removed when present.
std::string WithoutTrailingSeparator(std::string_view path);

// Directory (ending in a separator or empty) joined with a file name.
std::string JoinPath(std::string_view directory, std::string_view name);

// The folder part of a file path, without a trailing separator.
std::string ParentFolder(std::string_view filePath);

// The file name part of a path.
std::string FileNamePart(std::string_view filePath);

// Without regard to letter case; on Windows either slash separates.
bool PathsEqual(std::string_view a, std::string_view b);

} // namespace mvr
