#pragma once

// The files of the configuration folder: the server endpoint (".ini", only
// read) and the four record files that are read once at start and rewritten
// completely after every change.

#include "core/config/DirListInfo.h"
#include "core/config/ExportInfo.h"
#include "core/config/UserInfo.h"
#include "core/config/WindowLayout.h"
#include "core/net/ServerEndpoint.h"

#include <optional>
#include <string>
#include <vector>

namespace mvr {

inline constexpr const char* kIniFileName = "MVRKrsExp.ini";
inline constexpr const char* kUserFileName = "MVRExpUsr.cfg";
inline constexpr const char* kDirectoryFileName = "MVRExpDir.cfg";
inline constexpr const char* kListFileName = "MVRLstDir.cfg";
inline constexpr const char* kWindowFileName = "MVRExpWnd.cfg";

inline constexpr const char* kLoadConfigError = "Error Loading Export Config";
inline constexpr const char* kStoreConfigError = "Error Store Export Config";

// Everything the configuration files hold.
struct ConfigData {
    ServerEndpoint endpoint{PrimaryServerHost(), kDefaultServerPort};
    ExportUserInfo user;
    bool sortStateRead = false; // the user file of the current layout gave the sort state
    std::vector<MVRKrsExportInfo> directories;
    std::vector<CMVRDirListInfo> lists;
    WindowLayout windowLayout;
};

// Encoding of the three collection files, shared by loading and storing.
std::vector<std::uint8_t> EncodeDirectories(const std::vector<MVRKrsExportInfo>& directories);
std::vector<MVRKrsExportInfo> DecodeDirectories(std::span<const std::uint8_t> file,
                                                bool olderUserLayout);
std::vector<std::uint8_t> EncodeLists(const std::vector<CMVRDirListInfo>& lists);
std::vector<CMVRDirListInfo> DecodeLists(std::span<const std::uint8_t> file);

class CConfigStore {
public:
    explicit CConfigStore(std::string folder) : folder_(std::move(folder)) {}

    // The store on the configuration folder of the platform, or nothing when
    // that folder is not available.
    static std::optional<CConfigStore> OpenDefault();

    const std::string& Folder() const { return folder_; }
    std::string PathOf(const char* fileName) const;

    // Missing or unreadable files leave their part at the initial values.
    ConfigData Load() const;

    // Writes the four record files in order; a file that cannot be written is
    // skipped and the others are still written. True when all four were written.
    [[nodiscard]] bool Store(const ConfigData& data) const;

private:
    std::string folder_;
};

} // namespace mvr
