#include "core/formats/ExportDataFile.h"

#include "core/formats/AsciiDataFile.h"
#include "core/formats/MetaStockDataFile.h"
#include "core/platform/AppendJournal.h"
#include "core/platform/AtomicFile.h"
#include "core/platform/FileSystem.h"
#include "core/platform/FolderListing.h"
#include "core/platform/Paths.h"
#include "core/platform/RandomAccessFile.h"

#include <algorithm>

namespace mvr {

namespace {

const FormatTypeInfo* Info(int type) {
    return FindFormatType(type);
}

std::span<const std::uint8_t> AsBytes(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// A downloaded bar without prices and volume: the server's way of saying that
// the stored bar of that day and time is wrong.
bool IsEmptyBar(const PERIODE& bar) {
    return bar.open == 0.0f && bar.high == 0.0f && bar.low == 0.0f && bar.close == 0.0f &&
           bar.volume == 0;
}

// The downloaded bar that takes over a stored one keeps the stored bar's
// place in the file.
PERIODE Replacement(const PERIODE& downloaded, const PERIODE& stored) {
    PERIODE bar = downloaded;
    bar.sourcePos = stored.sourcePos;
    bar.isNew = 1;
    return bar;
}

// The merge kept every stored bar of the tail as it was, in its place, and
// added bars only after them.
bool AddsOnlyAfterTail(const PriceHistory& merged, const PriceHistory& tail,
                       const HistoryChanges& changes) {
    return changes.changed == 0 &&
           merged.size() == tail.size() + static_cast<std::size_t>(changes.added) &&
           std::equal(tail.begin(), tail.end(), merged.begin(),
                      [](const PERIODE& stored, const PERIODE& kept) {
                          return kept.isNew == 0 && kept.sourcePos == stored.sourcePos;
                      });
}

} // namespace

void CExportDataFile::BuildFileName(const std::string& directory, const ExportSymbolInfo& symbol,
                                    int formatType) {
    formatType_ = formatType;
    directory_ = WithTrailingSeparator(directory);
    symbol_ = symbol;
    writeBlocked_ = false;
    asciiImageRead_ = CFileImage();
    const FormatTypeInfo* info = Info(formatType);
    if (info == nullptr || info->naming == DataFileNaming::None) {
        return;
    }
    const std::string name = DataFileName(formatType, symbol);
    if (name.empty() || directory_.size() + name.size() > kMaxPathChars) {
        filePath_.clear();
        return;
    }
    filePath_ = ExistingPathOf(name);
}

std::string CExportDataFile::ExistingPathOf(const std::string& name) const {
    if (listing_ != nullptr && listing_->Folder() == directory_) {
        return listing_->Resolve(name);
    }
    return ResolveFileName(directory_, name);
}

bool CExportDataFile::Read(const std::string& directory, const ExportSymbolInfo& symbol,
                           int formatType) {
    const bool read = ReadBars(directory, symbol, formatType, BarReading::Corrected);
    TakeFolderPeriodIfEmpty();
    return read;
}

bool CExportDataFile::ReadAsStored(const std::string& directory, const ExportSymbolInfo& symbol,
                                   int formatType) {
    const bool read = ReadBars(directory, symbol, formatType, BarReading::AsStored);
    writeBlocked_ = true;
    return read;
}

bool CExportDataFile::ReadBars(const std::string& directory, const ExportSymbolInfo& symbol,
                               int formatType, BarReading reading) {
    BuildFileName(directory, symbol, formatType);
    const FormatTypeInfo* info = Info(formatType);
    if (info == nullptr || filePath_.empty()) {
        return false;
    }
    switch (info->reads) {
    case DataFileCodec::MetaStock:
        return ReadMetaStock(reading);
    case DataFileCodec::Ascii:
        return ReadAscii(reading);
    case DataFileCodec::None:
        return false;
    }
    return false;
}

void CExportDataFile::TakeFolderPeriodIfEmpty() {
    // Symbols listed in an intraday folder before it could hold bars (or by
    // another program) are marked daily; with no bar yet they can still
    // become what the folder is for.
    if (formatType_ == kFormatMetaStockIntraday && history_.empty() && !writeBlocked_) {
        symbol_.period = kPeriodIntraday;
    }
}

MetaStockLayout CExportDataFile::SeriesLayout() const {
    return {symbol_.fieldCount, symbol_.period == kPeriodIntraday};
}

bool CExportDataFile::IsIntradaySeries() const {
    const FormatTypeInfo* info = Info(formatType_);
    if (info != nullptr && info->reads == DataFileCodec::MetaStock) {
        return SeriesLayout().hasTime;
    }
    return IsIntradayFormat(formatType_);
}

bool CExportDataFile::ReadMetaStock(BarReading reading) {
    const MetaStockLayout layout = SeriesLayout();
    if (!IsMetaStockLayout(layout)) {
        // The record length is unknown (an XMASTER field mask of no known
        // count, or an intraday series too short for its time): the file
        // cannot be read, and must not be rewritten either.
        return IsRegularFile(filePath_) ? RefuseExistingFile() : false;
    }
    const std::uint64_t maxBytes =
        (kMaxMetaStockRecordsRead + 2) * MetaStockRecordLength(layout.fieldCount) - 1;
    const auto bytes = ReadFileImage(filePath_, maxBytes);
    if (!bytes) {
        return IsRegularFile(filePath_) ? RefuseExistingFile() : false;
    }
    auto bars = DecodeMetaStockFile(*bytes, layout, reading);
    if (!bars) {
        return RefuseExistingFile();
    }
    history_ = std::move(*bars);
    return true;
}

bool CExportDataFile::ReadAscii(BarReading reading) {
    auto bytes = ReadFileImage(filePath_, kMaxAsciiPriceFileBytes);
    if (!bytes) {
        return IsRegularFile(filePath_) ? RefuseExistingFile() : false;
    }
    auto bars = DecodeAsciiFile(*bytes, formatType_, reading);
    if (!bars) {
        return RefuseExistingFile();
    }
    history_ = std::move(*bars);
    asciiImageRead_ = std::move(*bytes);
    return true;
}

bool CExportDataFile::RefuseExistingFile() {
    writeBlocked_ = true;
    return false;
}

bool CExportDataFile::ReadFirstAndLast(const std::string& directory,
                                       const ExportSymbolInfo& symbol) {
    BuildFileName(directory, symbol, kFormatHermes);
    if (filePath_.empty()) {
        return false;
    }
    FirstAndLastBars bars;
    switch (ReadAsciiFirstAndLast(filePath_, kFormatHermes, bars)) {
    case FirstAndLastResult::Found:
        history_ = {bars.first, bars.last};
        return true;
    case FirstAndLastResult::NoBar:
        history_.clear();
        return false;
    case FirstAndLastResult::Unreadable:
        return false;
    }
    return false;
}

bool CExportDataFile::Write(bool force, CAtomicFileGroup* group) {
    const FormatTypeInfo* info = Info(formatType_);
    if (info == nullptr || info->writes == DataFileCodec::None || filePath_.empty() ||
        writeBlocked_) {
        return false;
    }
    bool written = false;
    if (info->writes == DataFileCodec::MetaStock) {
        const bool anyNew = std::any_of(history_.begin(), history_.end(),
                                        [](const PERIODE& bar) { return bar.isNew != 0; });
        if (!force && !anyNew) {
            return true;
        }
        const auto image = EncodeMetaStockFile(history_, SeriesLayout());
        written = image && Replace(*image, group);
    } else {
        const std::string text = EncodeAsciiFile(history_, formatType_);
        // An update that brings nothing new leaves the file as it is.
        if (!force && !asciiImageRead_.empty() &&
            std::ranges::equal(AsBytes(text), asciiImageRead_)) {
            return true;
        }
        written = Replace(AsBytes(text), group);
    }
    if (written) {
        NoteWritten();
    }
    return written;
}

bool CExportDataFile::Replace(std::span<const std::uint8_t> bytes, CAtomicFileGroup* group) const {
    return group != nullptr ? group->Stage(filePath_, bytes)
                            : WriteFileAtomically(filePath_, bytes);
}

void CExportDataFile::NoteWritten() const {
    if (listing_ != nullptr) {
        listing_->NoteCreated(filePath_);
    }
}

bool CExportDataFile::Delete() {
    const FormatTypeInfo* info = Info(formatType_);
    if (info == nullptr || !info->deletes || filePath_.empty()) {
        return false;
    }
    if (!RemoveFile(filePath_)) {
        return false;
    }
    if (listing_ != nullptr) {
        listing_->NoteRemoved(filePath_);
    }
    return true;
}

HistoryChanges CExportDataFile::Merge(const PriceHistory& downloaded) {
    HistoryChanges changes;
    if (downloaded.empty()) {
        return changes;
    }
    if (history_.empty()) {
        history_ = downloaded;
        changes.added = static_cast<std::int64_t>(downloaded.size());
        return changes;
    }
    const PriceHistory& stored = history_;
    PriceHistory merged;
    merged.reserve(stored.size() + downloaded.size());
    // A downloaded bar at a day and time the file does not hold.
    const auto add = [&](const PERIODE& bar) {
        if (!IsEmptyBar(bar)) {
            merged.push_back(bar);
            ++changes.added;
        }
    };
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < downloaded.size() || j < stored.size()) {
        if (j == stored.size()) {
            add(downloaded[i++]);
        } else if (i == downloaded.size()) {
            // Once the download is exhausted, a stored bar is kept only when
            // it lies on a later day than everything merged so far.
            if (merged.empty() || merged.back().dayNumber < stored[j].dayNumber) {
                merged.push_back(stored[j]);
            }
            ++j;
        } else if (IsEarlierBar(downloaded[i], stored[j])) {
            add(downloaded[i++]);
        } else if (IsEarlierBar(stored[j], downloaded[i])) {
            merged.push_back(stored[j++]);
        } else {
            if (!IsEmptyBar(downloaded[i])) {
                if (KeepsSameValues(downloaded[i], stored[j])) {
                    merged.push_back(stored[j]);
                } else {
                    merged.push_back(Replacement(downloaded[i], stored[j]));
                    ++changes.changed;
                }
            }
            ++i;
            ++j;
        }
    }
    history_ = std::move(merged);
    return changes;
}

AppendResult CExportDataFile::MergeByAppending(const PriceHistory& downloaded,
                                               CFileAppendGroup& group, HistoryChanges& changes) {
    // The history is about to hold only a part of the file.
    writeBlocked_ = true;
    const auto tail = downloaded.empty() ? std::nullopt : ReadTail(downloaded.front());
    if (!tail) {
        return AppendResult::NeedsWholeFile;
    }
    history_ = tail->bars;
    const HistoryChanges merged = Merge(downloaded);
    if (!AddsOnlyAfterTail(history_, tail->bars, merged)) {
        return AppendResult::NeedsWholeFile;
    }
    const auto added = std::span(history_).subspan(tail->bars.size());
    if (!added.empty()) {
        auto append = AppendOf(added, *tail);
        if (!append) {
            return AppendResult::NeedsWholeFile;
        }
        group.Stage(FileNamePart(filePath_), tail->length, std::move(append->header),
                    std::move(append->bytes));
    }
    changes = merged;
    symbol_.firstDate = BarOleDate(tail->first);
    symbol_.lastDate = GetLastDate();
    return added.empty() ? AppendResult::NothingNew : AppendResult::Staged;
}

std::optional<StoredTail> CExportDataFile::ReadTail(const PERIODE& from) const {
    const FormatTypeInfo* info = Info(formatType_);
    if (info == nullptr || filePath_.empty() || info->reads != info->writes) {
        return std::nullopt;
    }
    const auto file = CRandomAccessFile::Open(filePath_, FileOpening::ReadOnly);
    if (!file) {
        return std::nullopt;
    }
    switch (info->writes) {
    case DataFileCodec::MetaStock:
        return ReadMetaStockTail(*file, SeriesLayout(), from);
    case DataFileCodec::Ascii:
        return ReadAsciiTail(*file, formatType_, from);
    case DataFileCodec::None:
        break;
    }
    return std::nullopt;
}

std::optional<CExportDataFile::FileAppend> CExportDataFile::AppendOf(std::span<const PERIODE> bars,
                                                                     const StoredTail& tail) const {
    if (Info(formatType_)->writes == DataFileCodec::MetaStock) {
        const std::size_t length = MetaStockRecordLength(symbol_.fieldCount);
        const std::size_t count = tail.length / length - 1 + bars.size();
        if (count > kMaxMetaStockBars) {
            return std::nullopt;
        }
        return FileAppend{MetaStockHeaderFor(tail.header, count),
                          EncodeMetaStockRecords(bars, SeriesLayout())};
    }
    const std::string text = EncodeAsciiFile(bars, formatType_);
    if (tail.length + text.size() > kMaxAsciiPriceFileBytes) {
        return std::nullopt;
    }
    return FileAppend{{}, ByteBuffer(text.begin(), text.end())};
}

bool CExportDataFile::KeepsSameValues(const PERIODE& downloaded, const PERIODE& stored) const {
    return HasSameValues(downloaded, stored) || HasSameValues(AsStored(downloaded), stored);
}

PERIODE CExportDataFile::AsStored(const PERIODE& bar) const {
    const FormatTypeInfo* info = Info(formatType_);
    std::optional<PriceHistory> readBack;
    if (info != nullptr && info->writes == DataFileCodec::MetaStock) {
        if (const auto image = EncodeMetaStockFile({bar}, SeriesLayout())) {
            readBack = DecodeMetaStockFile(*image, SeriesLayout());
        }
    } else if (info != nullptr && info->writes == DataFileCodec::Ascii) {
        readBack =
            DecodeAsciiFile(AsBytes(EncodeAsciiFile(std::span(&bar, 1), formatType_)), formatType_);
    }
    return readBack && readBack->size() == 1 ? readBack->front() : bar;
}

HistoryChanges CExportDataFile::ReplaceHistory(const PriceHistory& downloaded) {
    const HistoryChanges changes = CountHistoryChanges(
        history_, downloaded,
        [this](const PERIODE& bar, const PERIODE& stored) { return KeepsSameValues(bar, stored); });
    history_ = downloaded;
    for (PERIODE& bar : history_) {
        bar.isNew = 1;
    }
    return changes;
}

void CExportDataFile::SetSymbolDatesFromHistory() {
    symbol_.firstDate = GetFirstDate();
    symbol_.lastDate = GetLastDate();
}

double CExportDataFile::GetFirstDate() const {
    return history_.empty() ? 0.0 : BarOleDate(history_.front());
}

double CExportDataFile::GetLastDate() const {
    return history_.empty() ? 0.0 : BarOleDate(history_.back());
}

} // namespace mvr
