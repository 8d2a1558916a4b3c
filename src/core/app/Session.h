#pragma once

// The session owns what the main window works on for a whole run: the user
// settings, the directory array, the list array, the window layout, the
// current directory and its loaded index, and the models of the directory
// list and the symbol list. Front ends (the Qt window, the batch tool) are
// views on it. The commands change the directory and list arrays
// through the operations below, which keep the lists and the current
// directory consistent with the arrays.

#include "core/app/DirectoryEditor.h"
#include "core/app/ExpDirListModel.h"
#include "core/config/ConfigStore.h"
#include "core/definition/DefinitionFileRequest.h"
#include "core/editing/ExpSymbolListModel.h"
#include "core/formats/ExportDirectory.h"
#include "core/formats/PriceFileNames.h"
#include "core/net/IOException.h"
#include "core/net/InstrumentRecord.h"
#include "core/net/RunFlag.h"
#include "core/platform/TickClock.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace mvr {

class CMVRKrsExpSession {
public:
    // The current directory after it was removed.
    static constexpr std::int32_t kNoCurrentDirectory = -1;

    // The clock drives the symbol list's type-ahead.
    explicit CMVRKrsExpSession(const CTickClock& clock = SystemTickClock());
    CMVRKrsExpSession(const CMVRKrsExpSession&) = delete;
    CMVRKrsExpSession& operator=(const CMVRKrsExpSession&) = delete;

    // Reads the configuration folder once per run; a second call changes
    // nothing. A user file of the current layout gives the two lists their
    // sort state. False with kLoadConfigError when the folder is not available.
    bool LoadConfig(std::string* error = nullptr);

    // Rewrites the four record files, with the sort state the two lists have
    // now. False with kStoreConfigError when a file could not be written (it
    // keeps its last content; the others are still written, and the next
    // store writes everything again) or when the folder is not available
    // (which also asks the run to end).
    [[nodiscard]] bool StoreConfig(std::string* error = nullptr);

    // Set when the configuration folder could not be had at all, by a load or
    // a store: the front end ends the run after the command that found it.
    bool QuitRequested() const { return quitRequested_; }

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

    // The batch switch of the command line and its value; both empty in an
    // interactive run.
    void SetCommandLine(std::string firstArgument, std::string secondArgument) {
        firstArgument_ = std::move(firstArgument);
        secondArgument_ = std::move(secondArgument);
    }
    const std::string& FirstArgument() const { return firstArgument_; }
    const std::string& SecondArgument() const { return secondArgument_; }

    std::int32_t CurrentDirectory() const { return currentDirectory_; }
    void SetCurrentDirectory(std::int32_t index) { currentDirectory_ = index; }

    // The loaded symbol index of the current directory: the symbol list's data
    // source. The object stays the same for the whole run (it is only ever
    // replaced in place), so views may keep pointers to it.
    CExportDirectory& CurrentIndex() { return *currentIndex_; }
    const CExportDirectory& CurrentIndex() const { return *currentIndex_; }

    // Opens the current index on the directory, makes it the current
    // directory and the symbol list's data source. False for an index outside
    // the array or an index that could not be loaded (the directory is
    // current all the same).
    bool OpenCurrentDirectory(std::int32_t index);

    CExpDirListModel& DirectoryList() { return directoryList_; }
    const CExpDirListModel& DirectoryList() const { return directoryList_; }
    CExpSymbolListModel& SymbolList() { return symbolList_; }
    const CExpSymbolListModel& SymbolList() const { return symbolList_; }

    // Index of the first directory whose path equals the text, letter case
    // ignored; -1 when there is none.
    std::int32_t FindDirectoryByPath(std::string_view path) const;

    // Adds a directory with the editor's values unless one with its path
    // exists (then nothing happens and the result is -1). A folder without an
    // index gets an empty one of the format. A directory linked to a
    // catalogue takes `catalogueMembers`, the instruments the server listed
    // for it, as its symbols (the folder's earlier symbols are dropped) when
    // there are any; without them it has no symbols. Stores the
    // configuration. The new index. Instruments whose price file would be
    // another symbol's are left out and, with `refused`, named there. When
    // the store failed, `error` receives kStoreConfigError (the directory is
    // added all the same).
    std::int32_t AddExportDirectory(const DirectoryEditorValues& values,
                                    std::span<const WATCH> catalogueMembers,
                                    std::vector<RefusedSymbol>* refused = nullptr,
                                    std::string* error = nullptr);

    // Takes over the editor's catalogue and start date (and the interval when
    // `takeInterval` is set) into the directory, stores the configuration,
    // then gives the directory's loaded index the new start date and saves it. The
    // catalogue is read at the next update. False for an index outside the
    // array and when the configuration was not stored (`error` then holds
    // kStoreConfigError). Only the current directory's index is saved.
    [[nodiscard]] bool ChangeDirectory(std::int32_t index, const DirectoryEditorValues& values,
                                       bool takeInterval, std::string* error = nullptr);

    // Rebuilds the directory list's rows for the format filter and the
    // check boxes of the active list.
    void RefillDirectoryList();
    // The symbol list shows the current index again: its rows, no selection,
    // the sort re-applied.
    void RedisplayCurrentIndex();

    // Removes the directories that the records name (by path) from the array
    // and each one's path once from every list, then stores the configuration.
    // The folders are not touched. The current directory keeps naming the same
    // directory; when it is removed there is none (kNoCurrentDirectory) and the
    // current index is emptied (and shown empty by the symbol list). False
    // when the configuration was not stored.
    [[nodiscard]] bool RemoveDirectories(const std::vector<MVRKrsExportInfo>& records,
                                         std::string* error = nullptr);

    // Appends a list without directories (the name cut to 259 characters) and
    // stores the configuration; false when it was not stored.
    [[nodiscard]] bool AddList(std::string_view name, std::string* error = nullptr);

    // Deletes the list and stores the configuration; directories are not
    // touched. The active list entry follows: removing the active list leaves
    // none active. False for an index outside the array (nothing changes) and
    // when the configuration was not stored.
    [[nodiscard]] bool RemoveList(std::size_t index, std::string* error = nullptr);

    // Adds the path to the list (unless it holds it already) or deletes its
    // first copy. Not stored here: the next StoreConfig writes it. True when
    // the list changed.
    bool SetMembership(std::size_t listIndex, std::string_view path, bool member);

    // Every command that talks to the server starts here: logs in with the
    // stored account and password unless a login already succeeded in this
    // run. False with the server's message otherwise, or kConnectionErrorText
    // when no answer arrived.
    bool EnsureLogin(std::string& message, const RunFlag& run);

    // Exchanges one definition file with the stored account, loading the
    // configuration first when this run has not loaded it. 0 when no account
    // or password is stored or the account check fails (nothing is sent;
    // `outcome` then tells a refused account from an unreachable server);
    // otherwise 1, also when the exchange itself failed: `outcome` tells how
    // it went.
    int RunDefinitionFile(const std::string& inputPath, const std::string& outputPath,
                          const RunFlag& run, DefinitionFileOutcome* outcome = nullptr);

private:
    void RepairImplausibleSettings();
    void FillFromCatalogue(CExportDirectory& directory, const MVRKrsExportInfo& record,
                           std::span<const WATCH> members, std::vector<RefusedSymbol>* refused);
    void ForgetRemovedDirectory(std::int32_t removed);

    std::string firstArgument_;
    std::string secondArgument_;
    bool configLoaded_ = false;
    bool quitRequested_ = false;
    bool sortStateLoaded_ = false;
    ExportUserInfo user_;
    std::vector<MVRKrsExportInfo> directories_;
    std::vector<CMVRDirListInfo> lists_;
    WindowLayout layout_;
    std::int32_t currentDirectory_ = 0;
    std::optional<CExportDirectory> currentIndex_{std::in_place, kFormatAsciiComma};
    CExpDirListModel directoryList_;
    CExpSymbolListModel symbolList_;
};

} // namespace mvr
