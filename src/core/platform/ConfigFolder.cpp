#include "core/platform/ConfigFolder.h"

#include "core/platform/FileSystem.h"
#include "core/platform/Paths.h"

#include <cstdlib>

#ifdef _WIN32
#include "core/platform/NativePath.h"

// windows.h first: the other two rely on its definitions.
// clang-format off
#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>
// clang-format on
#endif

namespace mvr {

namespace {

std::optional<std::string> CreatedFolder(const std::string& path) {
    if (!CreateFolders(path)) {
        return std::nullopt;
    }
    return WithTrailingSeparator(path);
}

} // namespace

std::optional<std::string> EnvironmentValue(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') {
        return std::nullopt;
    }
    return std::string(value);
}

std::optional<std::string> LocalAppDataFolder() {
#ifdef _WIN32
    PWSTR wide = nullptr;
    const HRESULT found =
        SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_CREATE, nullptr, &wide);
    std::optional<std::string> folder;
    if (SUCCEEDED(found)) {
        folder = SystemPath(std::filesystem::path(wide));
    }
    CoTaskMemFree(wide);
    return folder ? CreatedFolder(*folder) : std::nullopt;
#else
    if (auto xdg = EnvironmentValue("XDG_DATA_HOME")) {
        return CreatedFolder(*xdg);
    }
    if (auto home = EnvironmentValue("HOME")) {
        return CreatedFolder(JoinPath(*home, ".local/share"));
    }
    return std::nullopt;
#endif
}

std::optional<std::string> ConfigurationFolder() {
    if (auto overridden = EnvironmentValue(kConfigFolderVariable)) {
        return CreatedFolder(*overridden);
    }
    const auto base = LocalAppDataFolder();
    if (!base) {
        return std::nullopt;
    }
    return CreatedFolder(JoinPath(*base, kConfigFolderName));
}

} // namespace mvr
