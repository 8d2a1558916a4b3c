#pragma once

// The session owns what the main window works on for a whole run: the user
// settings, the directory array, the list array, the window layout and the
// current directory. Front ends (the Qt window, the batch tool) are views on it.

#include "core/app/ConfigStore.h"

#include <string>
#include <vector>

namespace mvr {

class CMVRKrsExpSession {
public:
    // Reads the configuration folder once per run; a second call changes
    // nothing. False with kLoadConfigError when the folder is not available.
    bool LoadConfig(std::string* error = nullptr);

    // Rewrites the four record files; false with kStoreConfigError when the
    // folder is not available (files that cannot be written are skipped).
    bool StoreConfig(std::string* error = nullptr);

    bool ConfigLoaded() const { return configLoaded_; }
    bool SortStateLoaded() const { return sortStateLoaded_; }

    ExportUserInfo& User() { return user_; }
    const ExportUserInfo& User() const { return user_; }
    std::vector<MVRKrsExportInfo>& Directories() { return directories_; }
    const std::vector<MVRKrsExportInfo>& Directories() const { return directories_; }
    std::vector<CMVRDirListInfo>& Lists() { return lists_; }
    const std::vector<CMVRDirListInfo>& Lists() const { return lists_; }
    WindowLayout& Layout() { return layout_; }
    const WindowLayout& Layout() const { return layout_; }

    std::int32_t CurrentDirectory() const { return currentDirectory_; }
    void SetCurrentDirectory(std::int32_t index) { currentDirectory_ = index; }

private:
    void RepairImplausibleSettings();

    bool configLoaded_ = false;
    bool sortStateLoaded_ = false;
    ExportUserInfo user_;
    std::vector<MVRKrsExportInfo> directories_;
    std::vector<CMVRDirListInfo> lists_;
    WindowLayout layout_;
    std::int32_t currentDirectory_ = 0;
};

} // namespace mvr
