#include "core/legacy/LegacyInitialFolder.h"

#ifdef _WIN32
#include <cstring>
#include <windows.h>
#endif

namespace mvr {

namespace {

#ifdef _WIN32
constexpr const char* kUninstallKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\qdx Kavolo";
constexpr DWORD kValueBytes = 260;

std::string ReadUninstallString() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return {};
    }
    char value[kValueBytes + 1] = {};
    DWORD type = 0;
    DWORD size = kValueBytes;
    const LONG read = RegQueryValueExA(key, "UninstallString", nullptr, &type,
                                       reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    if (read != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return {};
    }
    return std::string(value, strnlen(value, size));
}

// The long form of an existing path; nothing when it no longer exists.
std::optional<std::string> LongPathOf(const std::string& path) {
    char buffer[MAX_PATH] = {};
    const DWORD length = GetLongPathNameA(path.c_str(), buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return std::nullopt;
    }
    return std::string(buffer, length);
}
#endif

bool IsFolderSeparator(char c) {
    return c == '\\' || c == '/' || c == ':';
}

} // namespace

std::optional<std::string> ProgramOfUninstallString(std::string_view uninstallString) {
    if (uninstallString.find('"') != std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view program = uninstallString.substr(0, uninstallString.find(' '));
    if (program.empty()) {
        return std::nullopt;
    }
    return std::string(program);
}

std::optional<std::string> FolderOfProgramPath(std::string_view programPath) {
    std::size_t end = programPath.size();
    while (end > 0 && !IsFolderSeparator(programPath[end - 1])) {
        --end;
    }
    if (end == 0) {
        return std::nullopt;
    }
    return std::string(programPath.substr(0, end));
}

std::string LegacyInitialFolder() {
#ifdef _WIN32
    const std::optional<std::string> program = ProgramOfUninstallString(ReadUninstallString());
    const std::optional<std::string> longPath = program ? LongPathOf(*program) : std::nullopt;
    if (!longPath) {
        return {};
    }
    return FolderOfProgramPath(*longPath).value_or(std::string());
#else
    return {};
#endif
}

} // namespace mvr
