#include "core/app/Session.h"

#include "core/app/SelectionBoxes.h"
#include "core/formats/DayNumber.h"
#include "core/net/CatalogueRequests.h"
#include "core/net/IOException.h"
#include "core/net/ProcessState.h"
#include "core/net/UserRequests.h"
#include "core/platform/Paths.h"
#include "core/platform/TextUtil.h"
#include "core/update/InstrumentSymbols.h"

namespace mvr {

namespace {

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

// The editor gives a positive interval; anything else is the default.
std::uint16_t IntervalOf(const DirectoryEditorValues& values) {
    return values.interval > 0 && values.interval <= 0xFFFF
               ? static_cast<std::uint16_t>(values.interval)
               : MVRKrsExportInfo::kDefaultInterval;
}

std::int32_t FlagOrDefault(std::int32_t flag, std::int32_t fallback) {
    return flag == 0 || flag == 1 ? flag : fallback;
}

} // namespace

CMVRKrsExpSession::CMVRKrsExpSession(const CTickClock& clock) : symbolList_(clock) {}

bool CMVRKrsExpSession::LoadConfig(std::string* error) {
    if (configLoaded_) {
        return true;
    }
    const auto store = CConfigStore::OpenDefault();
    if (!store) {
        SetError(error, kLoadConfigError);
        quitRequested_ = true;
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
    if (sortStateLoaded_) {
        directoryList_.SetSortState(user_.directorySortColumn, user_.directorySortFlag == 1);
        symbolList_.SetSortState(user_.symbolSortColumn, user_.symbolSortFlag == 1);
    }
    configLoaded_ = true;
    return true;
}

bool CMVRKrsExpSession::StoreConfig(std::string* error) {
    const auto store = CConfigStore::OpenDefault();
    if (!store) {
        SetError(error, kStoreConfigError);
        quitRequested_ = true;
        return false;
    }
    user_.directorySortColumn = directoryList_.SortColumn();
    user_.directorySortFlag = directoryList_.IsDescending() ? 1 : 0;
    user_.symbolSortColumn = symbolList_.SortColumn();
    user_.symbolSortFlag = symbolList_.IsAscending() ? 1 : 0;
    ConfigData data;
    data.user = user_;
    data.user.currentDirectory = currentDirectory_;
    data.directories = directories_;
    data.lists = lists_;
    data.windowLayout = layout_;
    if (!store->Store(data)) {
        SetError(error, kStoreConfigError);
        return false;
    }
    return true;
}

bool CMVRKrsExpSession::OpenCurrentDirectory(std::int32_t index) {
    if (index < 0 || static_cast<std::size_t>(index) >= directories_.size()) {
        return false;
    }
    const MVRKrsExportInfo& record = directories_[static_cast<std::size_t>(index)];
    currentDirectory_ = index;
    const bool opened = currentIndex_->Open(record.path, record.formatType);
    symbolList_.SetDirectory(&*currentIndex_);
    return opened;
}

std::int32_t CMVRKrsExpSession::FindDirectoryByPath(std::string_view path) const {
    for (std::size_t i = 0; i < directories_.size(); ++i) {
        if (PathsEqual(directories_[i].path, path)) {
            return static_cast<std::int32_t>(i);
        }
    }
    return -1;
}

std::int32_t CMVRKrsExpSession::AddExportDirectory(const DirectoryEditorValues& values,
                                                   std::span<const WATCH> catalogueMembers,
                                                   std::vector<RefusedSymbol>* refused,
                                                   std::string* error) {
    if (FindDirectoryByPath(values.path) != -1) {
        return -1;
    }
    MVRKrsExportInfo record;
    record.path = WithTrailingSeparator(values.path);
    record.formatType = values.formatType;
    record.startDate = DayNumberToPlainOleDate(values.startDate);
    record.catalogueId = values.catalogueId;
    record.catalogueName = values.catalogueName;
    record.interval = IntervalOf(values);
    record.symbolCount = 0;

    // Detecting binds the object to the folder without loading its symbols.
    CExportDirectory directory;
    if (directory.DetectFormat(record.path) == kFormatUnrecognised &&
        directory.Create(record.path, record.startDate, record.formatType)) {
        // Create has written the empty index already; this save writes the same.
        (void)directory.Save();
    }
    directories_.push_back(record);
    // The store below writes everything again: only its result counts.
    (void)StoreConfig();
    if (record.IsLinked()) {
        FillFromCatalogue(directory, record, catalogueMembers, refused);
    }
    (void)StoreConfig(error);
    return static_cast<std::int32_t>(directories_.size()) - 1;
}

void CMVRKrsExpSession::FillFromCatalogue(CExportDirectory& directory,
                                          const MVRKrsExportInfo& record,
                                          std::span<const WATCH> members,
                                          std::vector<RefusedSymbol>* refused) {
    if (members.empty()) {
        return;
    }
    directory.SetStartDate(record.startDate);
    AddedInstruments added = AddInstrumentSymbols(
        directory, members, {record.startDate, record.startDate, record.interval});
    // An index that cannot be written leaves the directory showing 0 symbols,
    // as every folder without a usable index does.
    (void)directory.Save();
    if (refused != nullptr) {
        *refused = std::move(added.refused);
    }
}

bool CMVRKrsExpSession::ChangeDirectory(std::int32_t index, const DirectoryEditorValues& values,
                                        bool takeInterval, std::string* error) {
    if (index < 0 || static_cast<std::size_t>(index) >= directories_.size()) {
        return false;
    }
    MVRKrsExportInfo& record = directories_[static_cast<std::size_t>(index)];
    record.catalogueId = values.catalogueId;
    record.catalogueName = values.catalogueName;
    record.startDate = DayNumberToPlainOleDate(values.startDate);
    if (takeInterval) {
        record.interval = IntervalOf(values);
    }
    const double startDate = record.startDate;
    const bool stored = StoreConfig(error);
    // Only the edited directory's own index takes the date: saving another
    // directory's index with it would change that directory. The record,
    // stored above, is what updates go by; the index's date only seeds the
    // symbols added by hand, and stays in the loaded index for its next save.
    if (currentDirectory_ == index) {
        currentIndex_->SetStartDate(startDate);
        (void)currentIndex_->Save();
    }
    return stored;
}

void CMVRKrsExpSession::RefillDirectoryList() {
    directoryList_.FillDirectories(directories_, user_.formatFilter);
    directoryList_.ApplyActiveList(ListOfEntry(lists_, user_.activeListEntry));
}

void CMVRKrsExpSession::RedisplayCurrentIndex() {
    symbolList_.SetDirectory(&*currentIndex_);
}

bool CMVRKrsExpSession::RemoveDirectories(const std::vector<MVRKrsExportInfo>& records,
                                          std::string* error) {
    for (const MVRKrsExportInfo& record : records) {
        const std::int32_t index = FindDirectoryByPath(record.path);
        // A record named twice, or one that is no directory, removes nothing.
        if (index < 0) {
            continue;
        }
        const std::string path = directories_[static_cast<std::size_t>(index)].path;
        for (CMVRDirListInfo& list : lists_) {
            list.RemovePath(path);
        }
        directories_.erase(directories_.begin() + index);
        ForgetRemovedDirectory(index);
    }
    return StoreConfig(error);
}

// Indices after the removed one move down by one; the current directory
// follows its directory so that it never names another one.
void CMVRKrsExpSession::ForgetRemovedDirectory(std::int32_t removed) {
    if (currentDirectory_ > removed) {
        --currentDirectory_;
    } else if (currentDirectory_ == removed) {
        currentDirectory_ = kNoCurrentDirectory;
        currentIndex_.emplace(kFormatAsciiComma);
        symbolList_.SetDirectory(&*currentIndex_);
    }
}

bool CMVRKrsExpSession::AddList(std::string_view name, std::string* error) {
    CMVRDirListInfo list;
    list.name = Truncated(name, CMVRDirListInfo::kNameSize - 1);
    lists_.push_back(std::move(list));
    return StoreConfig(error);
}

bool CMVRKrsExpSession::RemoveList(std::size_t index, std::string* error) {
    if (index >= lists_.size()) {
        return false;
    }
    lists_.erase(lists_.begin() + static_cast<std::ptrdiff_t>(index));
    // The entry of a list is its index + 1; later lists move up one entry.
    const auto entry = static_cast<std::int32_t>(index) + 1;
    if (user_.activeListEntry == entry) {
        user_.activeListEntry = 0;
    } else if (user_.activeListEntry > entry) {
        --user_.activeListEntry;
    }
    return StoreConfig(error);
}

bool CMVRKrsExpSession::SetMembership(std::size_t listIndex, std::string_view path, bool member) {
    if (listIndex >= lists_.size()) {
        return false;
    }
    CMVRDirListInfo& list = lists_[listIndex];
    return member ? list.AddPath(path) : list.RemovePath(path);
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

bool CMVRKrsExpSession::EnsureLogin(std::string& message, const RunFlag& run) {
    if (Login(user_.account, user_.password, message, run) > 0) {
        return true;
    }
    // A failed connection brings no text from the server; the user still
    // learns why nothing happened.
    if (message.empty()) {
        message = kConnectionErrorText;
    }
    return false;
}

int CMVRKrsExpSession::RunDefinitionFile(const std::string& inputPath,
                                         const std::string& outputPath, const RunFlag& run,
                                         DefinitionFileOutcome* outcome) {
    // A folder that cannot be read leaves no account, which ends the run below.
    LoadConfig();
    if (user_.account.empty() || user_.password.empty()) {
        return 0;
    }
    const std::int32_t checkNumber = CheckAccount(user_.account, user_.password, run);
    if (checkNumber <= 0) {
        if (outcome != nullptr) {
            *outcome = IsCheckUnanswered(checkNumber) ? DefinitionFileOutcome::ConnectionFailed
                                                      : DefinitionFileOutcome::AccountRefused;
        }
        return 0;
    }
    const DefinitionFileOutcome result =
        ExchangeDefinitionFile(inputPath, outputPath, checkNumber, run);
    if (outcome != nullptr) {
        *outcome = result;
    }
    return 1;
}

} // namespace mvr
