#include "core/platform/ProgramPath.h"

#ifdef _WIN32
#include "core/platform/NativePath.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <filesystem>
#include <system_error>
#endif

namespace mvr {

std::optional<std::string> CurrentProgramPath() {
#ifdef _WIN32
    std::wstring path(MAX_PATH, L'\0');
    while (true) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return std::nullopt;
        }
        if (length < path.size()) {
            path.resize(length);
            return SystemPath(std::filesystem::path(path));
        }
        path.resize(path.size() * 2);
    }
#else
    std::error_code error;
    const std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        return std::nullopt;
    }
    return path.string();
#endif
}

} // namespace mvr
