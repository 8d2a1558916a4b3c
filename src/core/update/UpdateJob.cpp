#include "core/update/UpdateJob.h"

#include "core/formats/ExportDirectory.h"
#include "core/net/SymbolLookup.h"
#include "core/platform/ExceptionText.h"
#include "core/platform/ThreadName.h"
#include "core/update/UpdateRun.h"

#include <algorithm>

namespace mvr {

namespace {

constexpr const char* kModeTexts[] = {
    "Load the directories of the active list.",
    "Download the marked directories.",
    "Full update: All directories are loaded.",
    "Load Data for Symbol in Data Editor.",
};

} // namespace

CUpdateJob::CUpdateJob(std::vector<MVRKrsExportInfo> directories)
    : directories_(std::move(directories)) {}

CUpdateJob::~CUpdateJob() {
    RequestStop();
    Wait();
}

bool CUpdateJob::AddDirectory(std::int32_t index) {
    if (index < 0 || static_cast<std::size_t>(index) >= directories_.size()) {
        return false;
    }
    if (std::find(addedDirectories_.begin(), addedDirectories_.end(), index) !=
        addedDirectories_.end()) {
        return true; // each directory is synchronised and queued once
    }
    const MVRKrsExportInfo& info = directories_[static_cast<std::size_t>(index)];
    CExportDirectory directory(info.formatType);
    if (!directory.Open(info.path, info.formatType)) {
        return false;
    }
    const auto symbols = static_cast<std::int32_t>(directory.SymbolCount());
    (IsIntradayFormat(info.formatType) ? intradayCount_ : dailyCount_) += symbols;
    addedDirectories_.push_back(index);
    return true;
}

void CUpdateJob::AddEditorSymbol(CExportDataFile& editorFile, const RunFlag& run) {
    mode_ = kModeEditor;
    editorFile_ = &editorFile;
    if (editorFile.Symbol().sinCode == 0) {
        CExportDirectory lookup;
        lookup.Symbols().push_back(editorFile.Symbol());
        LookupSInCodes(lookup, run);
        editorFile.Symbol().sinCode = lookup.GetSymbol(0).sinCode;
    }
    editorItems_.daily.push_back({kEditorDirectoryIndex, editorFile.Symbol()});
    ++dailyCount_;
}

void CUpdateJob::SetAccount(std::string account, std::string password) {
    account_ = std::move(account);
    password_ = std::move(password);
}

void CUpdateJob::SetMode(int mode) {
    mode_ = mode;
}

void CUpdateJob::SetUnattended(bool unattended) {
    unattended_ = unattended;
}

void CUpdateJob::SetRealtime(bool realtime) {
    realtime_ = realtime;
}

int CUpdateJob::Mode() const {
    return mode_;
}

bool CUpdateJob::Unattended() const {
    return unattended_;
}

bool CUpdateJob::Realtime() const {
    return realtime_;
}

const char* CUpdateJob::ModeText() const {
    return mode_ >= 0 && mode_ < static_cast<int>(std::size(kModeTexts)) ? kModeTexts[mode_] : "";
}

std::int32_t CUpdateJob::DirectoryCount() const {
    return static_cast<std::int32_t>(addedDirectories_.size());
}

std::int32_t CUpdateJob::SymbolCount() const {
    return dailyCount_ + intradayCount_;
}

const std::vector<std::int32_t>& CUpdateJob::AddedDirectories() const {
    return addedDirectories_;
}

UpdateSettings CUpdateJob::UnattendedSettings() const {
    UpdateSettings settings;
    settings.kind = realtime_ ? UpdateKind::NormalAndRealtime : UpdateKind::Normal;
    return settings;
}

void CUpdateJob::SetInitialWait(std::chrono::milliseconds wait) {
    initialWait_ = wait;
}

bool CUpdateJob::Start(const UpdateSettings& settings, CUpdateProgressSink& sink) {
    const bool ended = ended_.load();
    if (started_.exchange(true) && !ended) {
        return false;
    }
    // A job that ended may run again: its worker has returned.
    Wait();
    ended_.store(false);
    stopAsked_.store(false);
    settings_ = settings;
    runFlag_.store(1);
    worker_ = std::thread([this, &sink] {
        SetCurrentThreadName("MVR Update");
        Work(sink);
    });
    return true;
}

void CUpdateJob::RequestStop() {
    runFlag_.store(0);
}

void CUpdateJob::SetStopAsked(bool asked) {
    stopAsked_.store(asked);
}

void CUpdateJob::Wait() {
    if (worker_.joinable()) {
        worker_.join();
    }
}

bool CUpdateJob::WaitFor(std::chrono::milliseconds timeout) {
    {
        std::unique_lock lock(mutex_);
        if (!endedSignal_.wait_for(lock, timeout, [this] { return ended_.load(); })) {
            return false;
        }
    }
    Wait();
    return true;
}

UpdateJobState CUpdateJob::State() const {
    if (!started_.load()) {
        return UpdateJobState::Ready;
    }
    if (ended_.load()) {
        return UpdateJobState::Ended;
    }
    return runFlag_.load() == 0 ? UpdateJobState::Stopping : UpdateJobState::Running;
}

UpdateSummary CUpdateJob::Summary() const {
    std::lock_guard lock(mutex_);
    return summary_;
}

void CUpdateJob::Work(CUpdateProgressSink& sink) {
    const auto start = std::chrono::steady_clock::now();
    UpdateSummary summary;
    try {
        UpdateRunInput input{directories_, addedDirectories_, editorItems_, editorFile_,
                             account_,     password_,         settings_,    initialWait_};
        CUpdateRun run(std::move(input), runFlag_, sink);
        try {
            run.Execute();
        } catch (...) {
            // What was done before the failure still counts; the files
            // written so far are complete, the others untouched.
            summary = run.Summary();
            throw;
        }
        summary = run.Summary();
    } catch (...) {
        // Out of memory, a sink that throws, ...: the job ends as after a stop.
        runFlag_.store(0);
        summary.failed = true;
        summary.failure = CurrentExceptionText();
    }
    Finish(sink, std::move(summary), start);
}

void CUpdateJob::Finish(CUpdateProgressSink& sink, UpdateSummary summary,
                        std::chrono::steady_clock::time_point start) noexcept {
    summary.stopped = runFlag_.load() == 0;
    summary.closeWithOk = !stopAsked_.load() || unattended_;
    summary.elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    {
        std::lock_guard lock(mutex_);
        summary_ = std::move(summary);
    }
    // The job ends even when its last reports fail, or every wait for it would hang.
    try {
        if (!summary_.closeWithOk) {
            sink.PhaseChanged(kPhaseFinished);
        }
        sink.JobEnded(summary_);
    } catch (...) {
    }
    {
        std::lock_guard lock(mutex_);
        ended_.store(true);
    }
    endedSignal_.notify_all();
}

} // namespace mvr
