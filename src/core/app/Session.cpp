#include "core/app/Session.h"

namespace mvr {

namespace {

constexpr std::int32_t kLastFormatType = 22;
// Sort columns of the three lists: 4, 4 and 6 columns; -1 = unsorted.
constexpr std::int32_t kDirectoryColumns = 4;
constexpr std::int32_t kSymbolColumns = 4;
constexpr std::int32_t kSearchColumns = 6;

void SetError(std::string* error, const char* text) {
    if (error != nullptr) {
        *error = text;
    }
}

std::int32_t ColumnOrDefault(std::int32_t column, std::int32_t columns, std::int32_t fallback) {
    return column >= -1 && column < columns ? column : fallback;
}

std::int32_t FlagOrDefault(std::int32_t flag, std::int32_t fallback) {
    return flag == 0 || flag == 1 ? flag : fallback;
}

} // namespace

bool CMVRKrsExpSession::LoadConfig(std::string* error) {
    if (configLoaded_) {
        return true;
    }
    const auto store = CConfigStore::OpenDefault();
    if (!store) {
        SetError(error, kLoadConfigError);
        return false;
    }
    ConfigData data = store->Load();
    SetServerEndpoint(data.endpoint);
    user_ = std::move(data.user);
    sortStateLoaded_ = data.sortStateRead;
    directories_ = std::move(data.directories);
    lists_ = std::move(data.lists);
    layout_ = std::move(data.windowLayout);
    RepairImplausibleSettings();
    configLoaded_ = true;
    return true;
}

bool CMVRKrsExpSession::StoreConfig(std::string* error) {
    const auto store = CConfigStore::OpenDefault();
    if (!store) {
        SetError(error, kStoreConfigError);
        return false;
    }
    ConfigData data;
    data.user = user_;
    data.user.currentDirectory = currentDirectory_;
    data.directories = directories_;
    data.lists = lists_;
    data.windowLayout = layout_;
    store->Store(data);
    return true;
}

// Values that no list or box of the system can show come from a damaged file;
// they fall back to their initial values so that the next store writes sense.
void CMVRKrsExpSession::RepairImplausibleSettings() {
    const ExportUserInfo initial;
    if (user_.formatFilter < -1 || user_.formatFilter > kLastFormatType) {
        user_.formatFilter = initial.formatFilter;
    }
    if (user_.activeListEntry < 0 ||
        user_.activeListEntry > static_cast<std::int32_t>(lists_.size())) {
        user_.activeListEntry = initial.activeListEntry;
    }
    user_.directorySortColumn =
        ColumnOrDefault(user_.directorySortColumn, kDirectoryColumns, initial.directorySortColumn);
    user_.symbolSortColumn =
        ColumnOrDefault(user_.symbolSortColumn, kSymbolColumns, initial.symbolSortColumn);
    user_.searchSortColumn =
        ColumnOrDefault(user_.searchSortColumn, kSearchColumns, initial.searchSortColumn);
    user_.directorySortFlag = FlagOrDefault(user_.directorySortFlag, initial.directorySortFlag);
    user_.symbolSortFlag = FlagOrDefault(user_.symbolSortFlag, initial.symbolSortFlag);
    user_.searchSortFlag = FlagOrDefault(user_.searchSortFlag, initial.searchSortFlag);
}

} // namespace mvr
