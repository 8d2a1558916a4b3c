#pragma once

// One run of the update job's worker, step by step: the initial pause, the
// account check, the catalogue synchronisation of every directory, then the
// daily and the intraday request, each followed by its writing pass. The run
// flag is tested between the steps (and by the requests in their read loops),
// so a stop takes effect at the next test.

#include "core/config/ExportInfo.h"
#include "core/formats/ExportDataFile.h"
#include "core/net/RunFlag.h"
#include "core/update/JahresChartArray.h"
#include "core/update/PriceHistoryRequest.h"
#include "core/update/UpdateJob.h"
#include "core/update/UpdateProgressSink.h"
#include "core/update/UpdateWorkItem.h"
#include "core/update/WritingPass.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace mvr {

// Phase texts of the worker, as the dialog shows them.
inline constexpr const char* kPhaseInitializing = "initializing ...";
inline constexpr const char* kPhaseConnecting = "Connecting ...";
inline constexpr const char* kPhaseSyncCatalogues = "Sync Katalog Entries ...";
inline constexpr const char* kPhaseSendingRequest = "Sending Update Request...";
inline constexpr const char* kPhaseLoadingData = "Loading Data ...";
inline constexpr const char* kPhaseWritingFiles = "Updating local Datafiles...";
inline constexpr const char* kPhaseFinished = "Update finished";

struct UpdateRunInput {
    const std::vector<MVRKrsExportInfo>& directories;
    const std::vector<std::int32_t>& addedDirectories; // synchronised and queued in this order
    UpdateWorkLists lists;                             // queued before the run (mode 3)
    CExportDataFile* editorFile = nullptr;
    std::string account;
    std::string password;
    UpdateSettings settings;
    std::chrono::milliseconds initialWait{0};
};

class CUpdateRun {
public:
    CUpdateRun(UpdateRunInput input, const RunFlag& run, CUpdateProgressSink& sink);

    // Runs every step.
    void Execute();
    // What the steps have done so far; the job adds stopped, closeWithOk and
    // elapsed at its end.
    const UpdateSummary& Summary() const { return summary_; }

private:
    bool Running() const { return run_.load() != 0; }
    void Pause() const;
    void SynchroniseCatalogues();
    using Request = ChartRequestResult (*)(std::span<JAHRESCHARTARRAY>, std::int32_t,
                                           const RunFlag&, const ChartRequestProgress&);
    // One request and its writing pass over `items`; `entries` are the
    // request's, one for each item, and are freed at the end.
    void Download(Request request, const std::vector<UpdateDirSymbolInfo>& items,
                  std::vector<JAHRESCHARTARRAY> entries);
    std::vector<JAHRESCHARTARRAY> DailyEntries();
    std::vector<JAHRESCHARTARRAY> IntradayEntries(const std::vector<UpdateDirSymbolInfo>& items);
    void Advance(std::int32_t position);
    // Folders the writing pass could not write to, into the summary.
    void TakeFolderFailures(const std::vector<FolderNotWritten>& failures);
    // Each folder the run could not write to is its directory's error.
    void MarkDirectoriesNotWritten();
    void TakeOutcomes(const std::vector<ItemOutcome>& outcomes);
    DirectoryOutcome* OutcomeOf(std::int32_t directoryIndex);

    UpdateRunInput input_;
    const RunFlag& run_;
    CUpdateProgressSink& sink_;
    UpdateDateRange range_;
    std::int32_t checkNumber_ = 0;
    std::int32_t position_ = 0;
    UpdateSummary summary_;
};

} // namespace mvr
