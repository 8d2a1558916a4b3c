#include "core/update/UpdateRun.h"

#include "core/formats/DayNumber.h"
#include "core/net/UserRequests.h"
#include "core/platform/Paths.h"
#include "core/update/CatalogueSync.h"
#include "core/update/UpdateDateRange.h"

#include <algorithm>
#include <thread>

namespace mvr {

namespace {

// How often the initial pause looks at the run flag.
constexpr std::chrono::milliseconds kPauseSlice{50};

std::int32_t CountOf(std::size_t size) {
    return static_cast<std::int32_t>(size);
}

// The answer to the intraday request tells its entries apart only by a change
// of instrument: two neighbouring entries of one instrument (the last symbol
// of a directory and the first of the next) would run together, and the
// second would get no bars. Such an entry waits for a further request; each
// request keeps the order of the work list.
std::vector<std::vector<UpdateDirSymbolInfo>>
IntradayRequests(const std::vector<UpdateDirSymbolInfo>& items) {
    std::vector<std::vector<UpdateDirSymbolInfo>> requests;
    std::vector<UpdateDirSymbolInfo> waiting = items;
    while (!waiting.empty()) {
        std::vector<UpdateDirSymbolInfo> request;
        std::vector<UpdateDirSymbolInfo> later;
        for (UpdateDirSymbolInfo& item : waiting) {
            // Symbols without a number are answered with nothing anyway.
            const bool sameInstrument = item.symbol.sinCode != 0 && !request.empty() &&
                                        request.back().symbol.sinCode == item.symbol.sinCode;
            (sameInstrument ? later : request).push_back(std::move(item));
        }
        requests.push_back(std::move(request));
        waiting = std::move(later);
    }
    return requests;
}

} // namespace

CUpdateRun::CUpdateRun(UpdateRunInput input, const RunFlag& run, CUpdateProgressSink& sink)
    : input_(std::move(input)), run_(run),
      sink_(sink), range_{input_.settings.kind, input_.settings.startDay, input_.settings.endDay} {}

void CUpdateRun::Execute() {
    summary_.directories = CountOf(input_.addedDirectories.size());
    for (const std::int32_t index : input_.addedDirectories) {
        const MVRKrsExportInfo& info = input_.directories[static_cast<std::size_t>(index)];
        summary_.directoryOutcomes.push_back({info.path, info.formatType, {}, {}});
    }
    sink_.PhaseChanged(kPhaseInitializing);
    Pause();
    if (!Running()) {
        return;
    }
    sink_.PhaseChanged(kPhaseConnecting);
    checkNumber_ = CheckAccount(input_.account, input_.password, run_);
    summary_.accountCheckResult = checkNumber_;
    if (checkNumber_ <= 0) {
        return;
    }
    sink_.PhaseChanged(kPhaseSyncCatalogues);
    SynchroniseCatalogues();
    if (!Running()) {
        return;
    }
    const UpdateWorkLists& lists = input_.lists;
    sink_.ProgressRange(0, 2 * CountOf(lists.daily.size() + lists.intraday.size()));
    Advance(0);
    sink_.PhaseChanged(kPhaseSendingRequest);
    Download(RequestDailyBars, lists.daily, DailyEntries());
    for (const auto& items : IntradayRequests(lists.intraday)) {
        if (!Running()) {
            break;
        }
        Download(RequestIntradayBars, items, IntradayEntries(items));
    }
}

void CUpdateRun::Pause() const {
    const auto until = std::chrono::steady_clock::now() + input_.initialWait;
    while (Running()) {
        const auto left = until - std::chrono::steady_clock::now();
        if (left <= std::chrono::steady_clock::duration::zero()) {
            return;
        }
        std::this_thread::sleep_for(
            std::min<std::chrono::steady_clock::duration>(left, kPauseSlice));
    }
}

void CUpdateRun::SynchroniseCatalogues() {
    for (const std::int32_t index : input_.addedDirectories) {
        if (!Running()) {
            return;
        }
        const MVRKrsExportInfo& info = input_.directories[static_cast<std::size_t>(index)];
        CCatalogueSync sync(info, checkNumber_, run_);
        CatalogueSyncOutcome outcome = sync.Run(index, input_.lists);
        if (outcome.communicationFailed) {
            summary_.communicationFailed = true;
        }
        if (outcome.indexNotSaved) {
            ++summary_.indexesNotSaved;
            NoteFolderNotWritten(summary_.foldersNotWritten, info.path);
            MarkDirectoriesNotWritten();
        }
        for (RefusedSymbol& refused : outcome.refused) {
            sink_.Notice(RefusedSymbolText(refused));
            summary_.refusedSymbols.push_back(std::move(refused));
        }
    }
}

std::vector<JAHRESCHARTARRAY> CUpdateRun::DailyEntries() {
    // Today at the moment the request is built.
    const std::int32_t today = TodayDayNumber();
    std::vector<JAHRESCHARTARRAY> entries;
    entries.reserve(input_.lists.daily.size());
    for (const UpdateDirSymbolInfo& item : input_.lists.daily) {
        entries.push_back(MakeDailyEntry(item.symbol, range_, today));
    }
    return entries;
}

std::vector<JAHRESCHARTARRAY>
CUpdateRun::IntradayEntries(const std::vector<UpdateDirSymbolInfo>& items) {
    const std::int32_t today = TodayDayNumber();
    std::vector<JAHRESCHARTARRAY> entries;
    entries.reserve(items.size());
    for (const UpdateDirSymbolInfo& item : items) {
        entries.push_back(MakeIntradayEntry(item.symbol, range_, today));
    }
    return entries;
}

void CUpdateRun::Download(Request request, const std::vector<UpdateDirSymbolInfo>& items,
                          std::vector<JAHRESCHARTARRAY> entries) {
    const std::int32_t base = position_;
    const std::int32_t count = CountOf(items.size());
    ChartRequestProgress progress;
    progress.answerBegins = [this] { sink_.PhaseChanged(kPhaseLoadingData); };
    progress.entryAnswered = [this] { Advance(position_ + 1); };
    const ChartRequestResult result = request(entries, checkNumber_, run_, progress);
    if (result.outcome == ChartRequestOutcome::Failed) {
        summary_.communicationFailed = true;
    }
    summary_.symbolsRequested += count;
    summary_.symbolsWithoutAnswer += CountOf(static_cast<std::size_t>(std::count_if(
        entries.begin(), entries.end(), [](const JAHRESCHARTARRAY& e) { return !e.answered; })));
    // Entries without an answer are done with as well.
    Advance(base + count);
    if (!Running()) {
        return;
    }
    sink_.PhaseChanged(kPhaseWritingFiles);
    {
        CWritingPass pass(input_.directories, run_, input_.settings.replace, input_.editorFile);
        const std::int32_t loaded = position_;
        pass.Run(items, entries, [&](std::size_t handled) { Advance(loaded + CountOf(handled)); });
        summary_.symbolsWritten += pass.Totals().symbolsWritten;
        summary_.barsAdded += pass.Totals().bars.added;
        summary_.barsChanged += pass.Totals().bars.changed;
        summary_.indexesNotSaved += pass.Totals().indexesNotSaved;
        TakeFolderFailures(pass.Totals().foldersNotWritten);
        TakeOutcomes(pass.Totals().outcomes);
    }
    // The entries (and with them the downloaded bars) go when this returns.
}

void CUpdateRun::Advance(std::int32_t position) {
    position_ = position;
    sink_.ProgressPosition(position_);
}

void CUpdateRun::TakeFolderFailures(const std::vector<FolderNotWritten>& failures) {
    auto& known = summary_.foldersNotWritten;
    for (const FolderNotWritten& failure : failures) {
        if (std::find(known.begin(), known.end(), failure) == known.end()) {
            known.push_back(failure);
        }
    }
    MarkDirectoriesNotWritten();
}

void CUpdateRun::MarkDirectoriesNotWritten() {
    for (const FolderNotWritten& failure : summary_.foldersNotWritten) {
        for (DirectoryOutcome& directory : summary_.directoryOutcomes) {
            if (directory.error.empty() && PathsEqual(directory.path, failure.folder)) {
                directory.error = FolderNotWrittenText(failure);
            }
        }
    }
}

void CUpdateRun::TakeOutcomes(const std::vector<ItemOutcome>& outcomes) {
    DirectoryOutcome* directory = nullptr;
    std::int32_t directoryIndex = kEditorDirectoryIndex;
    for (const ItemOutcome& outcome : outcomes) {
        // The items come directory by directory.
        if (directory == nullptr || outcome.directoryIndex != directoryIndex) {
            directoryIndex = outcome.directoryIndex;
            directory = OutcomeOf(directoryIndex);
        }
        if (directory != nullptr) {
            directory->symbols.push_back(outcome.symbol);
        }
    }
}

DirectoryOutcome* CUpdateRun::OutcomeOf(std::int32_t directoryIndex) {
    const auto& added = input_.addedDirectories;
    const auto found = std::find(added.begin(), added.end(), directoryIndex);
    if (found == added.end()) {
        return nullptr;
    }
    return &summary_.directoryOutcomes[static_cast<std::size_t>(found - added.begin())];
}

} // namespace mvr
