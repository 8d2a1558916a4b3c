#pragma once

// The price file of one symbol in one directory: its name by the format's
// rule, and the read, write and delete of its whole history. Created empty,
// filled by a read (or by the update engine), discarded after use.

#include "core/formats/ExportSymbolInfo.h"
#include "core/formats/FormatCatalogue.h"
#include "core/formats/HistoryChanges.h"
#include "core/formats/MetaStockDataFile.h"
#include "core/formats/Periode.h"
#include "core/platform/FileImage.h"

#include <cstdint>
#include <span>
#include <string>

namespace mvr {

class CAtomicFileGroup;
class CFileAppendGroup;
class CFolderListing;

// How an update's bars came into a file by MergeByAppending.
enum class AppendResult {
    Staged,     // the new bars are staged in the group, to be appended to the file
    NothingNew, // the file holds every downloaded bar already
    // The download changes, deletes or precedes stored bars, or the file is
    // none an append may extend: it is read, merged and written whole.
    NeedsWholeFile,
};

class CExportDataFile {
public:
    CExportDataFile() = default;

    // Existing files are looked up in this listing of their folder (letter
    // case ignored) instead of listing the folder for each file. Optional; the
    // listing must outlive the object.
    void UseFolderListing(CFolderListing* listing) { listing_ = listing; }

    // Stores directory, symbol and format type and builds the file path. A
    // type without files leaves the path as it was; a name that cannot be
    // built safely (unsafe symbol text, no file number, a path longer than
    // 259 characters) leaves it empty, so nothing is read, written or deleted.
    // An existing file whose name differs in letter case is taken as the file.
    void BuildFileName(const std::string& directory, const ExportSymbolInfo& symbol,
                       int formatType);

    // Replaces the history by the file's bars. False for a missing or
    // unreadable file and for a type without a reader (the history stays as
    // it was). A file that exists but cannot be taken as this format's (an
    // invalid field count, damage, an implausible size) also gives false and
    // blocks Write, so that it is never replaced by a history that lacks it.
    // A MetaStock series is read in the layout its index record gives it
    // (intraday with a time field or daily), whatever the folder's type; an
    // intraday MetaStock folder takes a symbol without stored bars as an
    // intraday series.
    bool Read(const std::string& directory, const ExportSymbolInfo& symbol, int formatType);

    // As Read, but the bars exactly as the file holds them (no bar
    // correction, the sign of the volume kept), for checks of the stored
    // data. The object is then blocked from writing.
    bool ReadAsStored(const std::string& directory, const ExportSymbolInfo& symbol, int formatType);

    // Hermes files only: just the first and the last bar (as written).
    bool ReadFirstAndLast(const std::string& directory, const ExportSymbolInfo& symbol);

    // Writes the whole history through the atomic file writer. MetaStock files
    // are written only when `force` is set or a bar is new; a history without
    // new bars leaves the file untouched (and gives true). Without `force` an
    // ASCII file whose text would not change is left untouched too. More than 32767
    // bars or an invalid field count are refused with the old file kept. True
    // when the file holds the history afterwards.
    // With a group the new file is only staged in it: the target is replaced
    // when the group is committed.
    [[nodiscard]] bool Write(bool force, CAtomicFileGroup* group = nullptr);

    // Removes the data file for the formats that have one. False when there is
    // nothing to remove or the removal failed.
    bool Delete();

    // Merges downloaded bars into the history, both in ascending order of day
    // and time. A downloaded bar takes the place of the stored bar of the same
    // day and time (which stays as it is when the file keeps the same values); an empty
    // downloaded bar (no prices, no volume) deletes the stored bar and is
    // otherwise left out, except that an empty history takes the downloaded
    // bars as they are. Stored bars after the last downloaded bar are kept
    // unless their day is not above the last merged bar's.
    // The count of bars added and of stored bars given other values.
    HistoryChanges Merge(const PriceHistory& downloaded);

    // Merge and Write for a download that only adds bars after the last bar
    // of the file BuildFileName named, reading only the file's ends: the
    // stored bars from the first downloaded day on are merged with the
    // download as Merge does, and when that keeps every one of them in place
    // and adds bars only behind them, those bars are staged in `group` to be
    // appended (`changes` counts them). Afterwards Symbol() has the dates of
    // the file as appended, History() holds only the file's tail and the bars
    // appended, and the object is blocked from writing.
    AppendResult MergeByAppending(const PriceHistory& downloaded, CFileAppendGroup& group,
                                  HistoryChanges& changes);

    // A downloaded bar and a stored bar of the same day and time hold the same
    // values as far as this file keeps them: the file's codec may keep fewer
    // decimals or a coarser volume than the download, and such a difference
    // is no change.
    bool KeepsSameValues(const PERIODE& downloaded, const PERIODE& stored) const;

    // The history becomes the downloaded bars, every one marked new (empty
    // ones included); the file is then written with force.
    // The count as Merge gives it, against the history replaced.
    HistoryChanges ReplaceHistory(const PriceHistory& downloaded);

    // The symbol's first and last date from the first and last bar (day and
    // time), 0.0 for an empty history.
    void SetSymbolDatesFromHistory();

    // Date and time of the first or last bar as an OLE date; 0.0 for an empty
    // history.
    double GetFirstDate() const;
    double GetLastDate() const;

    // The bars carry a time of day: an intraday format, or a MetaStock series
    // marked intraday in its index.
    bool IsIntradaySeries() const;
    // The record layout of a MetaStock series: its field count, and a time
    // field when its index marks it intraday.
    MetaStockLayout SeriesLayout() const;

    const std::string& Directory() const { return directory_; }
    const std::string& FilePath() const { return filePath_; }
    int FormatType() const { return formatType_; }
    const ExportSymbolInfo& Symbol() const { return symbol_; }
    ExportSymbolInfo& Symbol() { return symbol_; }
    PriceHistory& History() { return history_; }
    const PriceHistory& History() const { return history_; }

    // Set when the last Read refused an existing file; Write then does nothing.
    bool IsWriteBlocked() const { return writeBlocked_; }

private:
    // The bar as the file would give it back after a write and a read.
    PERIODE AsStored(const PERIODE& bar) const;
    std::string ExistingPathOf(const std::string& name) const;
    void NoteWritten() const;
    bool Replace(std::span<const std::uint8_t> bytes, CAtomicFileGroup* group) const;
    bool ReadBars(const std::string& directory, const ExportSymbolInfo& symbol, int formatType,
                  BarReading reading);
    bool ReadMetaStock(BarReading reading);
    bool ReadAscii(BarReading reading);
    // The file's tail for MergeByAppending, reaching back before `from`.
    std::optional<StoredTail> ReadTail(const PERIODE& from) const;
    // What appends `bars` to the file whose tail is `tail`: the new bytes at
    // its start and at its end. Nothing when the file would grow beyond what
    // its format holds.
    struct FileAppend {
        ByteBuffer header;
        ByteBuffer bytes;
    };
    std::optional<FileAppend> AppendOf(std::span<const PERIODE> bars, const StoredTail& tail) const;
    void TakeFolderPeriodIfEmpty();
    // Records that an existing file was refused; false for the caller to return.
    bool RefuseExistingFile();

    std::string directory_;
    std::string filePath_;
    PriceHistory history_;
    int formatType_ = kFormatNotSet;
    ExportSymbolInfo symbol_;
    CFolderListing* listing_ = nullptr;
    bool writeBlocked_ = false;
    // The bytes of the ASCII file as the last Read found them.
    CFileImage asciiImageRead_;
};

} // namespace mvr
