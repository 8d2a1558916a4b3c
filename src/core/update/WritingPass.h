#pragma once

// Writes the downloaded bars of one work list into the stored histories, item
// by item in list order: each symbol's data file is read, merged with its
// bars (or replaced by them), written back, and the symbol's dates go into
// its directory's index, which is saved when the list moves on to the next
// directory. Data files are replaced in groups before the index that
// describes them is saved. A download that only adds bars after a file's last
// one is appended to the file instead of rewriting it, in groups under a
// rollback journal. The data editor's symbol is merged into the editor's history
// instead and nothing is written. Every data file is either left as it was or
// written completely; a stop takes effect between two files.

#include "core/config/ExportInfo.h"
#include "core/formats/ExportDataFile.h"
#include "core/formats/ExportDirectory.h"
#include "core/formats/HistoryChanges.h"
#include "core/net/RunFlag.h"
#include "core/platform/AppendJournal.h"
#include "core/platform/AtomicFile.h"
#include "core/update/FolderNotWritten.h"
#include "core/update/JahresChartArray.h"
#include "core/update/UpdateOutcome.h"
#include "core/update/UpdateWorkItem.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace mvr {

// The outcome of one work item of a directory (the editor's item has none).
struct ItemOutcome {
    std::int32_t directoryIndex = 0;
    SymbolOutcome symbol;
};

struct WritingTotals {
    std::int32_t symbolsWritten = 0; // data files written, and the editor's history
    HistoryChanges bars;
    std::int32_t indexesNotSaved = 0; // directories whose index kept its old dates
    std::vector<FolderNotWritten> foldersNotWritten;
    std::vector<ItemOutcome> outcomes; // in the order of the items
};

class CWritingPass {
public:
    // Called after each item with the number of items handled so far.
    using ItemHandled = std::function<void(std::size_t handled)>;

    // `editorFile` (may be null) receives the bars of the editor's item.
    CWritingPass(const std::vector<MVRKrsExportInfo>& directories, const RunFlag& run, bool replace,
                 CExportDataFile* editorFile);
    ~CWritingPass();
    CWritingPass(const CWritingPass&) = delete;
    CWritingPass& operator=(const CWritingPass&) = delete;

    // `entries[i]` holds the answer for `items[i]`. False when the run flag
    // stopped the pass (the index of the directory in hand is saved).
    bool Run(std::span<const UpdateDirSymbolInfo> items, std::span<const JAHRESCHARTARRAY> entries,
             const ItemHandled& itemHandled = {});

    const WritingTotals& Totals() const { return totals_; }

private:
    // A data file staged for replacing or appending, and what it means for
    // the index and the outcomes once it is written.
    struct StagedSymbol {
        std::size_t position;
        ExportSymbolInfo symbol;
        HistoryChanges changes;
        std::size_t outcome;
    };

    void Handle(const UpdateDirSymbolInfo& item, const PriceHistory& bars);
    // Saves the directory in hand and opens the one of `directoryIndex`.
    void SwitchTo(std::int32_t directoryIndex);
    void SaveDirectory();
    // Replaces and appends to the staged data files and takes the dates of
    // those written into the index.
    void CommitFiles();
    void CommitReplacements();
    void CommitAppends();
    void TakeOver(std::size_t position, const ExportSymbolInfo& symbol,
                  const HistoryChanges& changes, std::size_t outcome);
    // A new outcome of the directory in hand with the symbol's dates as they
    // stand; its position in the totals.
    std::size_t NoteOutcome(const ExportSymbolInfo& symbol, std::string error = {});
    // Why the symbol's file was left as it was.
    void NoteError(std::size_t outcome, std::string error);
    // Takes the dates of the staged files that were written (`written[i]`)
    // into the index and notes why the others were not; empties `staged`.
    void TakeOverWritten(std::vector<StagedSymbol>& staged, const std::vector<bool>& written,
                         std::error_code reason);
    int FindSymbol(const UpdateDirSymbolInfo& item) const;
    void WriteSymbol(std::size_t position, const PriceHistory& bars);
    // True when the bars went in by an append (or the file held them
    // already); false when the file must be read and written whole.
    bool AppendSymbol(std::size_t position, const PriceHistory& bars, std::size_t outcome);
    void MergeIntoEditor(const PriceHistory& bars);
    // Merges or replaces; the counts are added to the totals by the caller.
    HistoryChanges Apply(CExportDataFile& file, const PriceHistory& bars) const;

    const std::vector<MVRKrsExportInfo>& directories_;
    const RunFlag& run_;
    const bool replace_;
    CExportDataFile* editorFile_;
    std::int32_t currentIndex_ = kEditorDirectoryIndex;
    std::unique_ptr<CExportDirectory> directory_; // null while none is open
    // The data files of the directory in hand are replaced or appended to in
    // groups, with one flush to disk per group (StagedSymbol notes each).
    CAtomicFileGroup files_;
    std::vector<StagedSymbol> staged_;
    std::unique_ptr<CFileAppendGroup> appends_; // of the directory in hand
    std::vector<StagedSymbol> stagedAppends_;
    WritingTotals totals_;
};

} // namespace mvr
