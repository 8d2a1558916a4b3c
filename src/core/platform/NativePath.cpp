#include "core/platform/NativePath.h"

#ifdef _WIN32
#include "core/platform/Paths.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif

namespace mvr {

#ifdef _WIN32

std::wstring WideText(std::string_view ansi) {
    if (ansi.empty()) {
        return {};
    }
    const int length = static_cast<int>(ansi.size());
    std::wstring wide(
        static_cast<std::size_t>(MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, nullptr, 0)),
        L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, wide.data(), static_cast<int>(wide.size()));
    return wide;
}

std::optional<std::string> AnsiText(std::wstring_view wide) {
    if (wide.empty()) {
        return std::string();
    }
    const int length = static_cast<int>(wide.size());
    BOOL lossy = FALSE;
    const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), length, nullptr,
                                         0, nullptr, &lossy);
    if (size <= 0 || lossy) {
        return std::nullopt;
    }
    std::string ansi(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), length, ansi.data(), size,
                        nullptr, nullptr);
    return ansi;
}

namespace {

std::optional<std::wstring> ShortForm(const std::wstring& path) {
    const DWORD size = GetShortPathNameW(path.c_str(), nullptr, 0);
    if (size == 0) {
        return std::nullopt;
    }
    std::wstring shortPath(size, L'\0');
    const DWORD length = GetShortPathNameW(path.c_str(), shortPath.data(), size);
    if (length == 0 || length >= size) {
        return std::nullopt;
    }
    shortPath.resize(length);
    return shortPath;
}

} // namespace

std::filesystem::path NativePath(std::string_view path) {
    // The C runtime's stat finds no folder "C:\\Kurse\\" with its separator;
    // a root ("C:\\", "\\") keeps its own.
    const bool root = path.size() == 1 || (path.size() == 3 && path[1] == ':');
    if (!root && EndsWithSeparator(path)) {
        path.remove_suffix(1);
    }
    return std::filesystem::path(WideText(path));
}

std::optional<std::string> SystemPath(const std::filesystem::path& path) {
    if (auto exact = AnsiText(path.native())) {
        return exact;
    }
    const std::optional<std::wstring> shortPath = ShortForm(path.native());
    return shortPath ? AnsiText(*shortPath) : std::nullopt;
}

#else

std::filesystem::path NativePath(std::string_view path) {
    return std::filesystem::path(path);
}

std::optional<std::string> SystemPath(const std::filesystem::path& path) {
    return path.native();
}

#endif

} // namespace mvr
