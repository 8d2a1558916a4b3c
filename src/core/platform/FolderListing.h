#pragma once

// The file names of one folder, listed once and kept, so that many names can
// be resolved without regard to letter case (a MetaStock folder written by an
// earlier version holds f1.DAT ... f5000.MWD where the system asks for
// F1.DAT) without listing the folder again for every file. The listing is
// taken again only when the folder has changed since, as its modification
// time tells; changes this process makes itself are noted instead.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace mvr {

class CFolderListing {
public:
    CFolderListing() = default;
    explicit CFolderListing(std::string folder) { Reset(std::move(folder)); }

    // Binds the listing to another folder (ending in a separator); nothing is listed yet.
    void Reset(std::string folder);
    const std::string& Folder() const { return folder_; }

    // The full path of an existing regular file `name`, matched exactly first
    // and then without regard to letter case; nothing when there is none.
    std::optional<std::string> Find(std::string_view name);

    // The existing file's path when there is one, otherwise folder + name.
    std::string Resolve(std::string_view name);

    // Every file name of the folder, listed when not yet done.
    std::vector<std::string> Names();

    // Keeps the listing up to date after this process created or removed a file.
    void NoteCreated(const std::string& path);
    void NoteRemoved(const std::string& path);

    // How often the folder was listed (for measurements and tests).
    unsigned ListingCount() const { return listingCount_; }

private:
    void ListIfStale();
    std::optional<std::filesystem::file_time_type> FolderTime() const;

    std::string folder_;
    bool listed_ = false;
    std::optional<std::filesystem::file_time_type> listedTime_;
    // Lower-case name -> name as stored.
    std::unordered_map<std::string, std::string> byLowerName_;
    unsigned listingCount_ = 0;
};

} // namespace mvr
