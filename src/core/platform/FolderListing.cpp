#include "core/platform/FolderListing.h"

#include "core/platform/FileSystem.h"
#include "core/platform/NativePath.h"
#include "core/platform/Paths.h"
#include "core/platform/TextUtil.h"

#include <algorithm>
#include <system_error>

namespace mvr {

void CFolderListing::Reset(std::string folder) {
    folder_ = std::move(folder);
    listed_ = false;
    listedTime_.reset();
    byLowerName_.clear();
}

std::optional<std::string> CFolderListing::Find(std::string_view name) {
    const std::string exact = JoinPath(folder_, name);
    if (kCaseSensitiveFileNames && IsRegularFile(exact)) {
        return exact;
    }
    ListIfStale();
    const auto it = byLowerName_.find(ToLowerAscii(name));
    if (it == byLowerName_.end()) {
        return std::nullopt;
    }
    return JoinPath(folder_, it->second);
}

std::string CFolderListing::Resolve(std::string_view name) {
    if (auto existing = Find(name)) {
        return *existing;
    }
    return JoinPath(folder_, name);
}

std::vector<std::string> CFolderListing::Names() {
    ListIfStale();
    std::vector<std::string> names;
    names.reserve(byLowerName_.size());
    for (const auto& entry : byLowerName_) {
        names.push_back(entry.second);
    }
    std::sort(names.begin(), names.end());
    return names;
}

void CFolderListing::NoteCreated(const std::string& path) {
    if (!listed_) {
        return;
    }
    const std::string name = FileNamePart(path);
    byLowerName_.try_emplace(ToLowerAscii(name), name);
    listedTime_ = FolderTime();
}

void CFolderListing::NoteRemoved(const std::string& path) {
    if (!listed_) {
        return;
    }
    const std::string name = FileNamePart(path);
    const auto it = byLowerName_.find(ToLowerAscii(name));
    if (it != byLowerName_.end() && it->second == name) {
        byLowerName_.erase(it);
    }
    listedTime_ = FolderTime();
}

void CFolderListing::ListIfStale() {
    const auto now = FolderTime();
    if (listed_ && now == listedTime_) {
        return;
    }
    byLowerName_.clear();
    for (std::string& name : ListFileNames(folder_)) {
        // Of several spellings of one name the smallest wins, whatever order the system lists.
        auto [it, inserted] = byLowerName_.try_emplace(ToLowerAscii(name), name);
        if (!inserted && name < it->second) {
            it->second = std::move(name);
        }
    }
    listed_ = true;
    listedTime_ = now;
    ++listingCount_;
}

std::optional<std::filesystem::file_time_type> CFolderListing::FolderTime() const {
    std::error_code ec;
    const auto time = std::filesystem::last_write_time(NativePath(folder_), ec);
    if (ec) {
        return std::nullopt;
    }
    return time;
}

} // namespace mvr
