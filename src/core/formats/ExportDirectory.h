#pragma once

// One export directory and its symbol list: the index of the directory's
// format (MASTER/EMASTER/XMASTER, "mvrexp.mas", or the ".asc" files of a
// Hermes folder) loaded into ExportSymbolInfo records, changed by the callers,
// and written back. Used by one thread at a time.

#include "core/formats/ExportSymbolInfo.h"
#include "core/formats/FormatCatalogue.h"
#include "core/platform/FolderListing.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mvr {

class CExportDirectory {
public:
    // MetaStock directories track file numbers 1..5745.
    static constexpr std::size_t kMaxMetaStockSymbols = 5745;

    explicit CExportDirectory(int formatType = kFormatNotSet);
    // Saves first when the symbol list was changed and not saved.
    ~CExportDirectory();
    CExportDirectory(const CExportDirectory&) = delete;
    CExportDirectory& operator=(const CExportDirectory&) = delete;

    // The format whose index the folder holds ("mvrexp.mas" tells its type,
    // MASTER means MetaStock), or kFormatUnrecognised. Binds the object to the folder.
    int DetectFormat(const std::string& path);

    // Binds the object to the folder and loads its index. False when the index
    // file is missing (the list then stays as it was), unreadable or damaged.
    bool Open(const std::string& path, int formatType);
    // Loads the index of the current folder again (when it exists).
    bool Reload();
    // Writes an empty index (replacing an existing one) and empties the list.
    [[nodiscard]] bool Create(const std::string& path, double startDate, int formatType);
    // Writes the index from the symbol list. False when nothing or not all
    // could be written, or when the index was damaged when it was loaded (the
    // files are then left as they are, so that nothing readable is lost).
    [[nodiscard]] bool Save();

    // Index of the first symbol whose text equals `symbol` exactly, or -1.
    int FindSymbol(std::string_view symbol) const;
    // Appends a symbol (MetaStock: with the lowest free file number and the
    // index templates, and in an intraday folder as an intraday series;
    // `symbol` receives the assigned values). True also when
    // a symbol with the same server number is already listed (nothing changes
    // then); false when a MetaStock directory is full.
    bool AddSymbol(ExportSymbolInfo& symbol);
    bool RemoveBySInCode(std::int32_t sinCode);
    bool RemoveBySymbol(std::string_view symbol);

    ExportSymbolInfo& GetSymbol(std::size_t index) { return symbols_.at(index); }
    const ExportSymbolInfo& GetSymbol(std::size_t index) const { return symbols_.at(index); }
    std::size_t SymbolCount() const { return symbols_.size(); }
    std::vector<ExportSymbolInfo>& Symbols() { return symbols_; }
    const std::vector<ExportSymbolInfo>& Symbols() const { return symbols_; }

    const std::string& Path() const { return path_; }
    int FormatType() const { return formatType_; }
    double StartDate() const { return startDate_; }
    void SetStartDate(double startDate) { startDate_ = startDate; }
    bool IsIndexLoaded() const { return indexLoaded_; }
    bool IsModified() const { return modified_; }

    // Set when the index could not be taken completely; Save then writes nothing.
    bool IsWriteProtected() const { return writeProtected_; }
    // What went wrong in the last Open, Reload, Create or Save (empty when nothing did).
    const std::string& Problem() const { return problem_; }

    // The folder's file names, for resolving the symbols' data files.
    CFolderListing& FolderListing() { return listing_; }

private:
    bool Bind(const std::string& path, int formatType);
    const char* IndexFileName() const;
    bool Load();
    // Gives the price files of an update that was killed while appending to
    // them back as they were, before anything reads them. False when they
    // could not be (the directory is then not opened).
    bool RollBackInterruptedAppend();
    bool LoadMetaStock();
    bool LoadAscii();
    bool LoadHermes();
    [[nodiscard]] bool SaveMetaStock();
    [[nodiscard]] bool SaveAscii();
    bool CreateMetaStock();
    bool CreateAscii();
    [[nodiscard]] bool WriteIndexFile(const std::string& path, std::span<const std::uint8_t> bytes);
    bool RemoveIndexFile(const std::string& name);
    bool Fail(std::string problem);
    bool Damaged(std::string problem);
    std::int32_t LowestFreeFileNumber() const;

    std::string path_;
    int formatType_;
    std::vector<ExportSymbolInfo> symbols_;
    double startDate_ = 0.0;
    bool indexLoaded_ = false;
    bool modified_ = false;
    bool writeProtected_ = false;
    std::string problem_;
    CFolderListing listing_;
};

} // namespace mvr
