#pragma once

// The update job: brings the price files of a set of export directories (or
// the data editor's symbol) up to date on a worker thread "MVR Update". The
// worker checks the account, synchronises the directories linked to a server
// catalogue, asks for the daily bars of all symbols in one request and for
// the intraday bars in a second one, and writes the merged histories. It
// reports through a progress sink; the dialog and the batch tool both drive
// this one class. Every data file ends up untouched or completely written,
// also when the job is stopped or the connection breaks.

#include "core/config/ExportInfo.h"
#include "core/formats/ExportDataFile.h"
#include "core/formats/PriceFileNames.h"
#include "core/net/RunFlag.h"
#include "core/update/FolderNotWritten.h"
#include "core/update/UpdateDateRange.h"
#include "core/update/UpdateOutcome.h"
#include "core/update/UpdateProgressSink.h"
#include "core/update/UpdateWorkItem.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace mvr {

// What the dialog takes over when the job starts (UpdateKind: see UpdateDateRange.h).
struct UpdateSettings {
    UpdateKind kind = UpdateKind::Normal;
    std::int32_t startDay = 0; // day numbers; 0 when the date text was empty or invalid
    std::int32_t endDay = 0;
    bool replace = false;
};

// The figures of a finished job, for the batch tool's summary and the tests.
struct UpdateSummary {
    std::int32_t directories = 0;          // directories added with AddDirectory
    std::int32_t symbolsRequested = 0;     // work items sent in requests 4 and 7
    std::int32_t symbolsWritten = 0;       // data files written (or the editor's store, mode 3)
    std::int64_t barsAdded = 0;            // bars new in the stored histories
    std::int64_t barsChanged = 0;          // stored bars replaced by different downloaded ones
    std::int32_t symbolsWithoutAnswer = 0; // requested items for which no answer arrived
    std::int32_t accountCheckResult = 0;   // CheckAccount's result (0 or below: job ended there)
    bool communicationFailed = false;      // a CIOException ended a catalogue sync or a request
    std::int32_t indexesNotSaved = 0;      // directory index saves that failed (sync and writing)
    std::vector<FolderNotWritten> foldersNotWritten; // where files or indexes could not be written
    bool failed = false; // something else thrown ended the run early (out of memory, ...)
    std::string failure; // what it was, in words (kOutOfMemoryText, what() of the exception)
    // Catalogue instruments left out because their price file is another symbol's.
    std::vector<RefusedSymbol> refusedSymbols;
    // One per directory added to the job, in the order they were added.
    std::vector<DirectoryOutcome> directoryOutcomes;
    bool stopped = false;    // the run flag was cleared before the job's end
    bool closeWithOk = true; // the dialog closes itself with OK (else "Update finished")
    std::chrono::milliseconds elapsed{0};
};

enum class UpdateJobState { Ready, Running, Stopping, Ended };

// Directories, the editor's symbol, the account and the flags are set before
// Start; from then on the worker reads them. The sink given to Start must
// stay until JobEnded has returned (Wait or WaitFor tell).
class CUpdateJob {
public:
    static constexpr int kModeActiveList = 0, kModeMarked = 1, kModeFull = 2, kModeEditor = 3;

    // Copies the caller's directory array; mode 2, all flags 0.
    explicit CUpdateJob(std::vector<MVRKrsExportInfo> directories);
    ~CUpdateJob(); // stops and joins a running worker
    CUpdateJob(const CUpdateJob&) = delete;
    CUpdateJob& operator=(const CUpdateJob&) = delete;

    // Opens the directory's index; false (and left out) when it cannot be opened.
    bool AddDirectory(std::int32_t index);
    // Mode 3: remembers the editor's store (not owned; must outlive the job), looks up a
    // sinCode of 0 (request 131) and queues one work item with directory index -1.
    void AddEditorSymbol(CExportDataFile& editorFile, const RunFlag& run);

    void SetAccount(std::string account, std::string password);
    void SetMode(int mode);
    void SetUnattended(bool unattended);
    void SetRealtime(bool realtime);
    int Mode() const;
    bool Unattended() const;
    bool Realtime() const;
    // The text at the top of the dialog for the mode ("Full update: All directories are
    // loaded.", ...); empty for a mode that has none.
    const char* ModeText() const;

    std::int32_t DirectoryCount() const;
    std::int32_t SymbolCount() const;                          // daily + intraday work items
    const std::vector<std::int32_t>& AddedDirectories() const; // indices, in AddDirectory order

    // The kind an unattended start preselects (realtime flag -> NormalAndRealtime).
    UpdateSettings UnattendedSettings() const;

    // The 1-second "initializing ..." pause; tests set it to zero.
    void SetInitialWait(std::chrono::milliseconds wait);

    // Starts the worker thread "MVR Update"; false while a worker runs. A job
    // that ended starts again with the same work.
    bool Start(const UpdateSettings& settings, CUpdateProgressSink& sink);
    // Clears the run flag (one lock-free atomic store, so safe from a signal handler's
    // context as well); the worker stops at its next test.
    void RequestStop();
    // The stop question of the front end is open / was confirmed.
    void SetStopAsked(bool asked);
    void Wait();                                     // joins the worker
    bool WaitFor(std::chrono::milliseconds timeout); // true when the worker has ended
    UpdateJobState State() const;
    UpdateSummary Summary() const; // valid once Ended

private:
    void Work(CUpdateProgressSink& sink);
    void Finish(CUpdateProgressSink& sink, UpdateSummary summary,
                std::chrono::steady_clock::time_point start) noexcept;

    std::vector<MVRKrsExportInfo> directories_;
    std::vector<std::int32_t> addedDirectories_;
    std::int32_t dailyCount_ = 0;
    std::int32_t intradayCount_ = 0;
    UpdateWorkLists editorItems_; // mode 3: the editor's symbol
    CExportDataFile* editorFile_ = nullptr;
    std::string account_;
    std::string password_;
    int mode_ = kModeFull;
    bool unattended_ = false;
    bool realtime_ = false;
    std::chrono::milliseconds initialWait_{1000};
    UpdateSettings settings_;

    RunFlag runFlag_{0};
    std::atomic<bool> stopAsked_{false};
    std::atomic<bool> started_{false};
    std::atomic<bool> ended_{false};
    static_assert(RunFlag::is_always_lock_free, "RequestStop must be safe in a signal handler");

    mutable std::mutex mutex_; // guards summary_ and the end of the worker
    std::condition_variable endedSignal_;
    UpdateSummary summary_;
    std::thread worker_;
};

} // namespace mvr
