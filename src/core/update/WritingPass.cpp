#include "core/update/WritingPass.h"

#include <system_error>

namespace mvr {

namespace {

// Staged files per flush to disk: bounds the temporary disk space and what a
// kill throws away.
constexpr std::size_t kFilesPerGroup = 256;

constexpr const char* kNoAnswerText = "no answer from the server";
constexpr const char* kIndexNotOpenedText = "the directory's index could not be opened";
constexpr const char* kNotInIndexText = "no longer in the directory's index";
constexpr const char* kDailySeriesInIntradayFolder =
    "a daily series in an intraday folder: left as it is";

std::string NotWrittenText(std::error_code reason) {
    const std::string text = "the data file could not be written";
    return reason ? text + " (" + reason.message() + ")" : text;
}

} // namespace

CWritingPass::CWritingPass(const std::vector<MVRKrsExportInfo>& directories, const RunFlag& run,
                           bool replace, CExportDataFile* editorFile)
    : directories_(directories), run_(run), replace_(replace), editorFile_(editorFile) {}

CWritingPass::~CWritingPass() {
    SaveDirectory();
}

bool CWritingPass::Run(std::span<const UpdateDirSymbolInfo> items,
                       std::span<const JAHRESCHARTARRAY> entries, const ItemHandled& itemHandled) {
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (run_.load() == 0) {
            SaveDirectory();
            return false;
        }
        const UpdateDirSymbolInfo& item = items[i];
        if (item.directoryIndex != currentIndex_) {
            SwitchTo(item.directoryIndex);
        }
        // An item without an answer keeps its file as it is.
        if (i < entries.size() && entries[i].answered && entries[i].bars) {
            Handle(item, *entries[i].bars);
        } else if (item.directoryIndex != kEditorDirectoryIndex) {
            NoteOutcome(item.symbol, kNoAnswerText);
        }
        if (itemHandled) {
            itemHandled(i + 1);
        }
    }
    SaveDirectory();
    return true;
}

void CWritingPass::Handle(const UpdateDirSymbolInfo& item, const PriceHistory& bars) {
    if (item.directoryIndex == kEditorDirectoryIndex) {
        MergeIntoEditor(bars);
        return;
    }
    if (!directory_) {
        NoteOutcome(item.symbol, kIndexNotOpenedText);
        return;
    }
    const int position = FindSymbol(item);
    if (position < 0) {
        NoteOutcome(item.symbol, kNotInIndexText);
        return;
    }
    WriteSymbol(static_cast<std::size_t>(position), bars);
}

void CWritingPass::SwitchTo(std::int32_t directoryIndex) {
    SaveDirectory();
    currentIndex_ = directoryIndex;
    if (directoryIndex < 0 || static_cast<std::size_t>(directoryIndex) >= directories_.size()) {
        return;
    }
    const MVRKrsExportInfo& info = directories_[static_cast<std::size_t>(directoryIndex)];
    auto directory = std::make_unique<CExportDirectory>(info.formatType);
    if (directory->Open(info.path, info.formatType)) {
        directory_ = std::move(directory);
        appends_ = std::make_unique<CFileAppendGroup>(directory_->Path());
    }
}

void CWritingPass::SaveDirectory() {
    CommitFiles();
    if (directory_) {
        ClearLastAtomicWriteError();
        if (!directory_->Save()) {
            ++totals_.indexesNotSaved;
            NoteFolderNotWritten(totals_.foldersNotWritten, directory_->Path());
        }
        directory_.reset();
        appends_.reset();
    }
}

int CWritingPass::FindSymbol(const UpdateDirSymbolInfo& item) const {
    // A number of 0 is no number: it would match any symbol not yet looked up.
    if (item.symbol.sinCode != 0) {
        const auto& symbols = directory_->Symbols();
        for (std::size_t i = 0; i < symbols.size(); ++i) {
            if (symbols[i].sinCode == item.symbol.sinCode) {
                return static_cast<int>(i);
            }
        }
    }
    return directory_->FindSymbol(FullSymbolText(item.symbol));
}

void CWritingPass::WriteSymbol(std::size_t position, const PriceHistory& bars) {
    const ExportSymbolInfo& stored = directory_->GetSymbol(position);
    const std::size_t outcome = NoteOutcome(stored);
    if (!replace_ && AppendSymbol(position, bars, outcome)) {
        return;
    }
    CExportDataFile file;
    file.UseFolderListing(&directory_->FolderListing());
    file.Read(directory_->Path(), stored, directory_->FormatType());
    // Intraday bars merged into a daily series of an intraday folder (one
    // another program keeps there) would lose their times: it is left alone.
    if (IsIntradayFormat(directory_->FormatType()) && !file.IsIntradaySeries()) {
        NoteError(outcome, kDailySeriesInIntradayFolder);
        return;
    }
    const HistoryChanges changes = Apply(file, bars);
    const std::size_t stagedBefore = files_.StagedCount();
    ClearLastAtomicWriteError();
    if (!file.Write(replace_, &files_)) {
        // A damaged file or a format that cannot be written is no folder's fault.
        const std::error_code reason = LastAtomicWriteError();
        if (reason) {
            NoteFolderNotWritten(totals_.foldersNotWritten, directory_->Path());
        }
        NoteError(outcome, NotWrittenText(reason));
        return;
    }
    if (files_.StagedCount() == stagedBefore) {
        // Nothing needed writing: the file already holds the history.
        TakeOver(position, file.Symbol(), changes, outcome);
        return;
    }
    staged_.push_back({position, file.Symbol(), changes, outcome});
    if (files_.StagedCount() >= kFilesPerGroup) {
        CommitFiles();
    }
}

bool CWritingPass::AppendSymbol(std::size_t position, const PriceHistory& bars,
                                std::size_t outcome) {
    const ExportSymbolInfo& stored = directory_->GetSymbol(position);
    CExportDataFile file;
    file.UseFolderListing(&directory_->FolderListing());
    file.BuildFileName(directory_->Path(), stored, directory_->FormatType());
    // The rule for daily series of intraday folders is the whole-file path's.
    if (IsIntradayFormat(directory_->FormatType()) && !file.IsIntradaySeries()) {
        return false;
    }
    HistoryChanges changes;
    switch (file.MergeByAppending(bars, *appends_, changes)) {
    case AppendResult::NeedsWholeFile:
        return false;
    case AppendResult::NothingNew:
        TakeOver(position, file.Symbol(), changes, outcome);
        return true;
    case AppendResult::Staged:
        break;
    }
    stagedAppends_.push_back({position, file.Symbol(), changes, outcome});
    if (appends_->StagedCount() >= kFilesPerGroup) {
        CommitAppends();
    }
    return true;
}

void CWritingPass::CommitFiles() {
    CommitReplacements();
    CommitAppends();
}

void CWritingPass::CommitReplacements() {
    ClearLastAtomicWriteError();
    const std::vector<bool> replaced = files_.Commit();
    TakeOverWritten(staged_, replaced, LastAtomicWriteError());
}

void CWritingPass::CommitAppends() {
    if (appends_ && !stagedAppends_.empty()) {
        const std::vector<bool> appended = appends_->Commit();
        TakeOverWritten(stagedAppends_, appended, appends_->LastError());
    }
}

void CWritingPass::TakeOverWritten(std::vector<StagedSymbol>& staged,
                                   const std::vector<bool>& written, std::error_code reason) {
    for (std::size_t i = 0; i < staged.size() && i < written.size(); ++i) {
        // A file that could not be written keeps its old dates in the index,
        // so that the index never describes bars the file does not hold.
        if (written[i]) {
            TakeOver(staged[i].position, staged[i].symbol, staged[i].changes, staged[i].outcome);
            continue;
        }
        if (directory_) {
            NoteFolderNotWritten(totals_.foldersNotWritten, directory_->Path());
        }
        NoteError(staged[i].outcome, NotWrittenText(reason));
    }
    staged.clear();
}

void CWritingPass::TakeOver(std::size_t position, const ExportSymbolInfo& symbol,
                            const HistoryChanges& changes, std::size_t outcome) {
    directory_->GetSymbol(position) = symbol;
    ++totals_.symbolsWritten;
    totals_.bars += changes;
    SymbolOutcome& noted = totals_.outcomes[outcome].symbol;
    noted.barsAdded = changes.added;
    noted.barsChanged = changes.changed;
    noted.firstDate = symbol.firstDate;
    noted.lastDate = symbol.lastDate;
}

std::size_t CWritingPass::NoteOutcome(const ExportSymbolInfo& symbol, std::string error) {
    SymbolOutcome outcome;
    outcome.symbol = FullSymbolText(symbol);
    outcome.name = symbol.name;
    outcome.firstDate = symbol.firstDate;
    outcome.lastDate = symbol.lastDate;
    outcome.error = std::move(error);
    totals_.outcomes.push_back({currentIndex_, std::move(outcome)});
    return totals_.outcomes.size() - 1;
}

void CWritingPass::NoteError(std::size_t outcome, std::string error) {
    totals_.outcomes[outcome].symbol.error = std::move(error);
}

void CWritingPass::MergeIntoEditor(const PriceHistory& bars) {
    if (editorFile_ == nullptr) {
        return;
    }
    totals_.bars += Apply(*editorFile_, bars);
    ++totals_.symbolsWritten;
}

HistoryChanges CWritingPass::Apply(CExportDataFile& file, const PriceHistory& bars) const {
    const HistoryChanges changes = replace_ ? file.ReplaceHistory(bars) : file.Merge(bars);
    file.SetSymbolDatesFromHistory();
    return changes;
}

} // namespace mvr
