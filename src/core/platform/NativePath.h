#pragma once

// The system keeps paths as narrow strings: bytes on POSIX systems, text in
// the ANSI code page on Windows, as its records and configuration files store
// them. These two functions are the only place where such a path meets the
// operating system's own form.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace mvr {

// The operating system's form of a path of the system.
std::filesystem::path NativePath(std::string_view path);

// The system's form of an operating-system path. On Windows a path whose
// names cannot all be written in the ANSI code page is given in the short
// (8.3) form of the existing entry, which names the same file without loss;
// nothing when there is no such form either.
std::optional<std::string> SystemPath(const std::filesystem::path& path);

#ifdef _WIN32
// Text of the ANSI code page in the form of the wide Windows calls, and back;
// nothing when a character has no exact counterpart in the code page.
std::wstring WideText(std::string_view ansi);
std::optional<std::string> AnsiText(std::wstring_view wide);
#endif

} // namespace mvr
