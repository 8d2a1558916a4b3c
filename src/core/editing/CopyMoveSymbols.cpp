#include "core/editing/CopyMoveSymbols.h"

#include "core/formats/ExportDataFile.h"
#include "core/formats/ExportDirectory.h"
#include "core/formats/PriceFileNames.h"
#include "core/formats/SymbolRemoval.h"
#include "core/net/SymbolLookup.h"
#include "core/platform/AtomicFile.h"
#include "core/platform/Paths.h"
#include "core/platform/TextUtil.h"

#include <cstdio>

namespace mvr {

namespace {

void OpenWithNumbers(CExportDirectory& directory, const MVRKrsExportInfo& record,
                     const RunFlag& run) {
    directory.Open(record.path, record.formatType);
    if (!StoresServerNumbers(record.formatType)) {
        LookupSInCodes(directory, run);
    }
}

const char* ReasonText(CopyRefusal reason) {
    switch (reason) {
    case CopyRefusal::SourceUnreadable:
        return "its price file cannot be read";
    case CopyRefusal::NotAdded:
        return "the target directory does not take it";
    case CopyRefusal::FileNameTaken:
        return "its price file would be that of another symbol";
    case CopyRefusal::TargetNotWritten:
        return "it could not be written into the target directory";
    case CopyRefusal::SourceNotSaved:
        return "it was copied, but could not be removed from the source directory";
    }
    return "";
}

} // namespace

CCopyMoveSymbols::CCopyMoveSymbols(std::vector<MVRKrsExportInfo> directories,
                                   std::int32_t sourceIndex, std::vector<ExportSymbolInfo> symbols,
                                   std::int32_t targetIndex)
    : directories_(std::move(directories)), sourceIndex_(sourceIndex), symbols_(std::move(symbols)),
      targetIndex_(targetIndex) {}

const MVRKrsExportInfo* CCopyMoveSymbols::Source() const {
    if (sourceIndex_ < 0 || static_cast<std::size_t>(sourceIndex_) >= directories_.size()) {
        return nullptr;
    }
    return &directories_[static_cast<std::size_t>(sourceIndex_)];
}

const MVRKrsExportInfo* CCopyMoveSymbols::Target() const {
    if (targetIndex_ < 0 || static_cast<std::size_t>(targetIndex_) >= directories_.size()) {
        return nullptr;
    }
    return &directories_[static_cast<std::size_t>(targetIndex_)];
}

std::string CCopyMoveSymbols::CountText() const {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "No. of selected Symbols: %ld",
                  static_cast<long>(symbols_.size()));
    return buffer;
}

std::string CCopyMoveSymbols::CopyButtonText() const {
    const MVRKrsExportInfo* target = Target();
    return "Copy to '" + (target ? target->path : std::string()) + "'";
}

std::string CCopyMoveSymbols::MoveButtonText() const {
    const MVRKrsExportInfo* target = Target();
    return "Move to '" + (target ? target->path : std::string()) + "'";
}

bool CCopyMoveSymbols::MoveEnabled() const {
    const MVRKrsExportInfo* source = Source();
    return source != nullptr && !source->IsLinked();
}

const CopyMoveResult& CCopyMoveSymbols::Copy() {
    move_ = false;
    lastResult_ = Run();
    return lastResult_;
}

const CopyMoveResult& CCopyMoveSymbols::Move() {
    if (MoveEnabled()) {
        move_ = true;
        lastResult_ = Run();
    }
    return lastResult_;
}

CopyMoveResult CCopyMoveSymbols::Run() {
    const bool move = move_;
    CopyMoveResult result;
    const MVRKrsExportInfo* sourceRecord = Source();
    const MVRKrsExportInfo* targetRecord = Target();
    // Into itself, a move would delete the files it just wrote.
    if (sourceRecord == nullptr || targetRecord == nullptr ||
        PathsEqual(WithTrailingSeparator(sourceRecord->path),
                   WithTrailingSeparator(targetRecord->path))) {
        return result;
    }
    CExportDirectory source(sourceRecord->formatType);
    OpenWithNumbers(source, *sourceRecord, run_);
    CExportDirectory target(targetRecord->formatType);
    OpenWithNumbers(target, *targetRecord, run_);
    // Without the numbers symbols would be told apart wrongly: nothing is copied.
    if (run_.load() == 0) {
        return result;
    }

    CPriceFileNames targetFiles(target);
    std::vector<ExportSymbolInfo> copied;
    auto refuse = [&](const ExportSymbolInfo& symbol, CopyRefusal reason) {
        result.refused.push_back({FullSymbolText(symbol), reason});
    };
    for (ExportSymbolInfo symbol : symbols_) {
        // Handed over before a lookup, the symbol learns its number from the source.
        if (const int listed = source.FindSymbol(FullSymbolText(symbol));
            symbol.sinCode == 0 && listed >= 0) {
            symbol.sinCode = source.GetSymbol(static_cast<std::size_t>(listed)).sinCode;
        }
        // A missing price file is copied as an empty history; one that exists
        // but cannot be read would be replaced by nothing.
        CExportDataFile records;
        if (!records.Read(sourceRecord->path, symbol, sourceRecord->formatType) &&
            records.IsWriteBlocked()) {
            refuse(symbol, CopyRefusal::SourceUnreadable);
            continue;
        }
        int at = target.FindSymbol(FullSymbolText(symbol));
        if (at < 0) {
            // SAP beside sap would be one file where names are compared without regard to case.
            if (targetFiles.HolderOf(symbol) != nullptr) {
                refuse(symbol, CopyRefusal::FileNameTaken);
                continue;
            }
            ExportSymbolInfo added = symbol;
            added.interval = targetRecord->interval;
            added.firstDate = targetRecord->startDate;
            added.lastDate = targetRecord->startDate;
            // AddSymbol passes over a symbol whose server number is listed
            // already. Found by position, not by text: in a MetaStock target
            // the symbol gets fresh index records and keeps only 8 characters,
            // which another copied symbol may share.
            const std::size_t listed = target.SymbolCount();
            target.AddSymbol(added);
            at = target.SymbolCount() > listed ? static_cast<int>(listed) : -1;
            if (at < 0) {
                refuse(symbol, CopyRefusal::NotAdded);
                continue;
            }
            targetFiles.Add(symbol);
        }
        ExportSymbolInfo& entry = target.GetSymbol(static_cast<std::size_t>(at));
        CExportDataFile written;
        // Read first: a damaged target file blocks its replacement.
        written.Read(target.Path(), entry, target.FormatType());
        written.History() = records.History();
        ClearLastAtomicWriteError();
        if (!written.Write(true)) {
            refuse(symbol, CopyRefusal::TargetNotWritten);
            if (LastAtomicWriteError()) {
                NoteFolderNotWritten(result.foldersNotWritten, target.Path());
            }
            continue;
        }
        entry.firstDate = written.GetFirstDate();
        entry.lastDate = written.GetLastDate();
        copied.push_back(symbol);
    }
    ClearLastAtomicWriteError();
    if (!target.Save() && !copied.empty()) {
        NoteFolderNotWritten(result.foldersNotWritten, target.Path());
        // Without the target's index the copies are not there: nothing leaves the source.
        for (const ExportSymbolInfo& symbol : copied) {
            refuse(symbol, CopyRefusal::TargetNotWritten);
        }
        return result;
    }
    result.copied = static_cast<std::int32_t>(copied.size());
    if (!move || copied.empty()) {
        return result;
    }
    // The price files go only once the source's index no longer lists them.
    ClearLastAtomicWriteError();
    if (!RemoveSymbols(source, copied, SymbolIdentity::Text).saved) {
        NoteFolderNotWritten(result.foldersNotWritten, source.Path());
        for (const ExportSymbolInfo& symbol : copied) {
            refuse(symbol, CopyRefusal::SourceNotSaved);
        }
    }
    return result;
}

std::string RefusedSymbolsText(const CopyMoveResult& result, bool move) {
    if (result.refused.empty()) {
        return {};
    }
    std::string text =
        move ? "The following symbols were not moved:" : "The following symbols were not copied:";
    for (const CopyMoveResult::Refused& refused : result.refused) {
        text += "\n" + refused.symbol + ": " + ReasonText(refused.reason);
    }
    for (const FolderNotWritten& failure : result.foldersNotWritten) {
        text += "\n" + FolderNotWrittenText(failure);
    }
    return text;
}

} // namespace mvr
