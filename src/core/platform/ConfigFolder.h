#pragma once

#include <optional>
#include <string>

namespace mvr {

// Name of the configuration folder below the local application-data folder.
inline constexpr const char* kConfigFolderName = "Marvane Kavolo";

// Environment variable that names the configuration folder itself (tests,
// portable installs, several configurations side by side).
inline constexpr const char* kConfigFolderVariable = "MVRKRSEXP_CONFIG_DIR";

// The value of an environment variable; nothing when it is unset or empty.
std::optional<std::string> EnvironmentValue(const char* name);

// The current user's local (non-roaming) application-data folder, created when
// missing: the local AppData folder on Windows, $XDG_DATA_HOME or
// $HOME/.local/share elsewhere. Nothing when the platform gives none.
std::optional<std::string> LocalAppDataFolder();

// The configuration folder, ending in a separator, created with every missing
// folder above it. Nothing when it is not available.
std::optional<std::string> ConfigurationFolder();

} // namespace mvr
