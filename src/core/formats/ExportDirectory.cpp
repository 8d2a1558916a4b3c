#include "core/formats/ExportDirectory.h"

#include "core/formats/AsciiIndex.h"
#include "core/formats/ExportDataFile.h"
#include "core/formats/MetaStockIndex.h"
#include "core/platform/AppendJournal.h"
#include "core/platform/AtomicFile.h"
#include "core/platform/FileSystem.h"
#include "core/platform/Paths.h"
#include "core/platform/TextUtil.h"

#include <algorithm>
#include <cstring>

namespace mvr {

namespace {

constexpr const char* kMasterName = "MASTER";
constexpr const char* kEmasterName = "EMASTER";
constexpr const char* kXmasterName = "XMASTER";
constexpr const char* kHermesSuffix = ".asc";

// The longest index file name; the folder path must leave room for it.
constexpr std::size_t kLongestIndexName = 10; // "mvrexp.mas"

// Files larger than these cannot be indexes of their kind.
constexpr std::uint64_t kMaxMasterBytes = (kMaxMasterRecords + 2) * kMasterRecordSize - 1;
constexpr std::size_t kEmasterBytesUsed = (kMaxMasterRecords + 1) * kEmasterRecordSize;
constexpr std::uint64_t kMaxXmasterBytes = (kMaxXmasterRecords + 2) * kXmasterRecordSize - 1;
constexpr std::uint64_t kMaxAsciiIndexBytes = std::uint64_t{512} << 20;

constexpr std::int32_t kLastMasterFileNumber = 255;

template <std::size_t N>
std::array<std::uint8_t, N> HeaderOf(const std::optional<ByteBuffer>& file,
                                     const std::array<std::uint8_t, N>& fallback) {
    if (!file || file->size() < N) {
        return fallback;
    }
    std::array<std::uint8_t, N> header;
    std::memcpy(header.data(), file->data(), N);
    return header;
}

std::optional<ByteBuffer> ReadHeaderOf(const std::optional<std::string>& path, std::size_t size) {
    if (!path) {
        return std::nullopt;
    }
    return ReadFileRange(*path, 0, size);
}

bool EndsWithIgnoreCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           EqualsIgnoreCase(text.substr(text.size() - suffix.size()), suffix);
}

} // namespace

CExportDirectory::CExportDirectory(int formatType) : formatType_(formatType) {}

CExportDirectory::~CExportDirectory() {
    // Nothing to report to here: callers that must know save before.
    if (modified_) {
        (void)Save();
    }
}

bool CExportDirectory::Bind(const std::string& path, int formatType) {
    path_ = WithTrailingSeparator(path);
    formatType_ = formatType;
    indexLoaded_ = false;
    modified_ = false;
    writeProtected_ = false;
    problem_.clear();
    listing_.Reset(path_);
    if (path_.size() + kLongestIndexName > kMaxPathChars) {
        return Fail("the folder path is too long");
    }
    return true;
}

const char* CExportDirectory::IndexFileName() const {
    switch (DirectoryIndexOf(formatType_)) {
    case DirectoryIndex::MetaStock:
        return kMasterName;
    case DirectoryIndex::Ascii:
        return kAsciiIndexFileName;
    case DirectoryIndex::HermesScan:
    case DirectoryIndex::None:
        break;
    }
    return nullptr;
}

bool CExportDirectory::Fail(std::string problem) {
    problem_ = std::move(problem);
    return false;
}

bool CExportDirectory::Damaged(std::string problem) {
    writeProtected_ = true;
    return Fail(std::move(problem));
}

int CExportDirectory::DetectFormat(const std::string& path) {
    if (!Bind(path, kFormatUnrecognised)) {
        return formatType_;
    }
    if (const auto index = listing_.Find(kAsciiIndexFileName)) {
        const auto bytes = ReadFileRange(*index, 0, kAsciiIndexHeaderSize);
        const auto header = bytes ? DecodeAsciiIndexHeader(*bytes) : std::nullopt;
        if (header && DirectoryIndexOf(header->formatType) == DirectoryIndex::Ascii) {
            formatType_ = header->formatType;
            return formatType_;
        }
    }
    if (listing_.Find(kMasterName)) {
        formatType_ = kFormatMetaStock;
    }
    return formatType_;
}

bool CExportDirectory::Open(const std::string& path, int formatType) {
    if (!Bind(path, formatType)) {
        return false;
    }
    const DirectoryIndex index = DirectoryIndexOf(formatType);
    if (index == DirectoryIndex::None) {
        return Fail("the format keeps no directory index");
    }
    if (index != DirectoryIndex::HermesScan && !listing_.Find(IndexFileName())) {
        return Fail(std::string("there is no ") + IndexFileName());
    }
    return RollBackInterruptedAppend() && Load();
}

bool CExportDirectory::Reload() {
    const DirectoryIndex index = DirectoryIndexOf(formatType_);
    if (index == DirectoryIndex::None || path_.empty()) {
        return false;
    }
    if (index != DirectoryIndex::HermesScan && !listing_.Find(IndexFileName())) {
        return Fail(std::string("there is no ") + IndexFileName());
    }
    writeProtected_ = false;
    problem_.clear();
    return RollBackInterruptedAppend() && Load();
}

bool CExportDirectory::RollBackInterruptedAppend() {
    std::error_code error;
    if (RecoverInterruptedAppend(path_, &error) == AppendRecovery::Failed) {
        return Fail("the price files an interrupted update appended to could not be restored (" +
                    error.message() + ")");
    }
    return true;
}

bool CExportDirectory::Load() {
    switch (DirectoryIndexOf(formatType_)) {
    case DirectoryIndex::MetaStock:
        return LoadMetaStock();
    case DirectoryIndex::Ascii:
        return LoadAscii();
    case DirectoryIndex::HermesScan:
        return LoadHermes();
    case DirectoryIndex::None:
        break;
    }
    return false;
}

bool CExportDirectory::LoadMetaStock() {
    const auto masterPath = listing_.Find(kMasterName);
    if (!masterPath) {
        return Fail("there is no MASTER");
    }
    symbols_.clear();
    startDate_ = 0.0;
    const auto master = ReadFileImage(*masterPath, kMaxMasterBytes);
    if (!master) {
        const auto size = FileSizeOf(*masterPath);
        return Damaged(size && *size > kMaxMasterBytes ? "MASTER holds more than 255 records"
                                                       : "MASTER cannot be read");
    }
    if (master->size() < kMasterRecordSize) {
        // Nothing readable in it: a later save may write it anew.
        return Fail("MASTER is shorter than its header");
    }
    std::optional<ByteBuffer> emaster;
    if (const auto emasterPath = listing_.Find(kEmasterName)) {
        emaster = ReadFileRange(*emasterPath, 0, kEmasterBytesUsed);
        if (!emaster) {
            return Damaged("EMASTER cannot be read");
        }
    }
    std::optional<CFileImage> xmaster;
    bool xmasterUnreadable = false;
    if (const auto xmasterPath = listing_.Find(kXmasterName)) {
        xmaster = ReadFileImage(*xmasterPath, kMaxXmasterBytes);
        xmasterUnreadable = !xmaster.has_value();
    }
    MetaStockIndexBytes files;
    files.master = *master;
    if (emaster) {
        files.emaster = std::span<const std::uint8_t>(*emaster);
    }
    if (xmaster) {
        files.xmaster = std::span<const std::uint8_t>(*xmaster);
    }
    files.xmasterUnreadable = xmasterUnreadable;
    std::string problem;
    auto content = DecodeMetaStockIndex(files, &problem);
    if (!content) {
        return Damaged(problem);
    }
    symbols_ = std::move(content->symbols);
    startDate_ = content->startDate;
    if (!content->complete) {
        // The MASTER symbols are usable; the folder is not rewritten from a
        // list that lacks the XMASTER ones.
        writeProtected_ = true;
        problem_ = content->problem;
    }
    return true;
}

bool CExportDirectory::LoadAscii() {
    const auto indexPath = listing_.Find(kAsciiIndexFileName);
    if (!indexPath) {
        return Fail("there is no mvrexp.mas");
    }
    const auto bytes = ReadFileImage(*indexPath, kMaxAsciiIndexBytes);
    if (!bytes) {
        return Damaged("mvrexp.mas cannot be read");
    }
    const auto header = DecodeAsciiIndexHeader(*bytes);
    if (!header) {
        symbols_.clear();
        if (bytes->size() < kAsciiIndexHeaderSize) {
            return Fail("mvrexp.mas is shorter than its header");
        }
        return Damaged("mvrexp.mas is not a directory index");
    }
    startDate_ = header->startDate;
    symbols_.clear();
    if (header->formatType == formatType_) {
        symbols_ = DecodeAsciiIndexRecords(*bytes, *header);
        indexLoaded_ = true;
        if (symbols_.size() < static_cast<std::size_t>(header->count)) {
            problem_ = "mvrexp.mas ends before its last record";
        }
    }
    return true;
}

bool CExportDirectory::LoadHermes() {
    symbols_.clear();
    for (const std::string& fileName : listing_.Names()) {
        if (!EndsWithIgnoreCase(fileName, kHermesSuffix) ||
            fileName.size() == std::strlen(kHermesSuffix)) {
            continue;
        }
        ExportSymbolInfo symbol;
        // The whole base name, however long: it names the data file.
        symbol.symbol = fileName.substr(0, fileName.size() - std::strlen(kHermesSuffix));
        symbol.name = symbol.symbol;
        CExportDataFile file;
        file.UseFolderListing(&listing_);
        if (file.ReadFirstAndLast(path_, symbol)) {
            symbol.firstDate = BarOleDate(file.History().front());
            symbol.lastDate = BarOleDate(file.History().back());
        }
        symbols_.push_back(std::move(symbol));
    }
    return true;
}

bool CExportDirectory::Create(const std::string& path, double startDate, int formatType) {
    if (!Bind(path, formatType)) {
        return false;
    }
    startDate_ = startDate;
    symbols_.clear();
    switch (DirectoryIndexOf(formatType)) {
    case DirectoryIndex::MetaStock:
        return CreateMetaStock();
    case DirectoryIndex::Ascii:
        return CreateAscii();
    case DirectoryIndex::HermesScan:
        return true;
    case DirectoryIndex::None:
        break;
    }
    return Fail("the format keeps no directory index");
}

bool CExportDirectory::CreateMetaStock() {
    // Same order as Save (see there); a stale XMASTER would add its symbols to the new index.
    const bool xmasterGone = RemoveIndexFile(kXmasterName);
    const ByteBuffer emaster(kEmasterRecordSize, 0);
    const bool emasterWritten = WriteIndexFile(listing_.Resolve(kEmasterName), emaster);
    const ByteBuffer master(kMasterRecordSize, 0);
    if (!WriteIndexFile(listing_.Resolve(kMasterName), master)) {
        return Fail("MASTER cannot be written");
    }
    if (!xmasterGone || !emasterWritten) {
        problem_ = "EMASTER or XMASTER could not be replaced";
    }
    return true;
}

bool CExportDirectory::CreateAscii() {
    const ByteBuffer image = EncodeAsciiIndex(formatType_, startDate_, {});
    if (!WriteIndexFile(listing_.Resolve(kAsciiIndexFileName), image)) {
        return Fail("mvrexp.mas cannot be written");
    }
    indexLoaded_ = true;
    return true;
}

bool CExportDirectory::Save() {
    if (writeProtected_) {
        return Fail(problem_.empty() ? "the index was damaged when it was loaded" : problem_);
    }
    bool saved = false;
    switch (DirectoryIndexOf(formatType_)) {
    case DirectoryIndex::MetaStock:
        saved = SaveMetaStock();
        break;
    case DirectoryIndex::Ascii:
        saved = SaveAscii();
        break;
    case DirectoryIndex::HermesScan:
        saved = true;
        break;
    case DirectoryIndex::None:
        return Fail("the format keeps no directory index");
    }
    if (saved) {
        modified_ = false;
        problem_.clear();
    }
    return saved;
}

bool CExportDirectory::SaveMetaStock() {
    const auto masterPath = listing_.Find(kMasterName);
    if (!masterPath) {
        return Fail("there is no MASTER");
    }
    const auto masterHead = ReadFileRange(*masterPath, 0, kMasterRecordSize);
    if (!masterHead) {
        return Fail("MASTER cannot be read");
    }
    const auto emasterPath = listing_.Find(kEmasterName);
    const auto xmasterPath = listing_.Find(kXmasterName);
    MetaStockIndexHeaders headers;
    headers.master = HeaderOf(masterHead, MasterRecord{});
    headers.emaster = HeaderOf(ReadHeaderOf(emasterPath, kEmasterRecordSize), EmasterRecord{});
    headers.xmaster = HeaderOf(ReadHeaderOf(xmasterPath, kXmasterRecordSize), NewXmasterHeader());
    const auto images = EncodeMetaStockIndex(symbols_, headers);
    if (!images) {
        return Fail("more symbols than MASTER can hold");
    }
    // Replacement order XMASTER, EMASTER, MASTER. Each file is replaced
    // atomically, so a crash between two replacements leaves whole files of
    // which some are old. MASTER goes last: it is the file every reader
    // starts from, so until it is replaced readers see the complete old list.
    // A newer EMASTER beside it still lends each symbol its own long name,
    // because EMASTER records are matched to MASTER records by file number
    // where their positions disagree, and XMASTER stands on its own (it holds
    // only the symbols of file numbers MASTER cannot).
    bool complete = true;
    if (images->xmaster.empty()) {
        complete = RemoveIndexFile(kXmasterName) && complete;
    } else {
        complete =
            WriteIndexFile(xmasterPath.value_or(listing_.Resolve(kXmasterName)), images->xmaster) &&
            complete;
    }
    complete =
        WriteIndexFile(emasterPath.value_or(listing_.Resolve(kEmasterName)), images->emaster) &&
        complete;
    complete = WriteIndexFile(*masterPath, images->master) && complete;
    return complete || Fail("not every index file could be written");
}

bool CExportDirectory::SaveAscii() {
    const auto indexPath = listing_.Find(kAsciiIndexFileName);
    if (!indexPath) {
        return Fail("there is no mvrexp.mas");
    }
    const ByteBuffer image = EncodeAsciiIndex(formatType_, startDate_, symbols_);
    return WriteIndexFile(*indexPath, image) || Fail("mvrexp.mas cannot be written");
}

bool CExportDirectory::WriteIndexFile(const std::string& path,
                                      std::span<const std::uint8_t> bytes) {
    if (!WriteFileAtomically(path, bytes)) {
        return false;
    }
    listing_.NoteCreated(path);
    return true;
}

// True when the file is gone afterwards.
bool CExportDirectory::RemoveIndexFile(const std::string& name) {
    const auto path = listing_.Find(name);
    if (!path) {
        return true;
    }
    if (!RemoveFile(*path)) {
        return false;
    }
    listing_.NoteRemoved(*path);
    return true;
}

int CExportDirectory::FindSymbol(std::string_view symbol) const {
    for (std::size_t i = 0; i < symbols_.size(); ++i) {
        // Only a symbol that is the text or its cut can have it as full text;
        // the cheap test first, since updates look up every symbol this way.
        if (symbol.starts_with(symbols_[i].symbol) && FullSymbolText(symbols_[i]) == symbol) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool CExportDirectory::AddSymbol(ExportSymbolInfo& symbol) {
    const bool listed = std::any_of(symbols_.begin(), symbols_.end(),
                                    [&](const auto& s) { return s.sinCode == symbol.sinCode; });
    if (listed) {
        return true;
    }
    if (symbol.firstDate == 0.0) {
        symbol.firstDate = startDate_;
    }
    if (DirectoryIndexOf(formatType_) == DirectoryIndex::MetaStock) {
        if (symbols_.size() >= kMaxMetaStockSymbols) {
            return false;
        }
        symbol.fileNumber = LowestFreeFileNumber();
        symbol.inXmaster = symbol.fileNumber > kLastMasterFileNumber ? 1 : 0;
        symbol.masterPos = -1;
        symbol.xmasterPos = -1;
        symbol.masterRecord = MasterTemplate();
        symbol.emasterRecord = EmasterTemplate();
        symbol.xmasterRecord = XmasterTemplate();
        // Chart programs take a series' layout from its period: a daily
        // record in an intraday folder would lose the time of every bar.
        if (formatType_ == kFormatMetaStockIntraday) {
            symbol.period = kPeriodIntraday;
        }
    }
    symbols_.push_back(symbol);
    modified_ = true;
    return true;
}

std::int32_t CExportDirectory::LowestFreeFileNumber() const {
    std::vector<bool> used(kMaxMetaStockSymbols + 1, false);
    for (const ExportSymbolInfo& s : symbols_) {
        if (s.fileNumber >= 1 && static_cast<std::size_t>(s.fileNumber) <= kMaxMetaStockSymbols) {
            used[static_cast<std::size_t>(s.fileNumber)] = true;
        }
    }
    // With fewer symbols than tracked numbers one of them is always free.
    const auto free = std::find(used.begin() + 1, used.end(), false);
    return static_cast<std::int32_t>(free - used.begin());
}

bool CExportDirectory::RemoveBySInCode(std::int32_t sinCode) {
    const auto it = std::find_if(symbols_.begin(), symbols_.end(),
                                 [&](const auto& s) { return s.sinCode == sinCode; });
    if (it == symbols_.end()) {
        return false;
    }
    symbols_.erase(it);
    modified_ = true;
    return true;
}

bool CExportDirectory::RemoveBySymbol(std::string_view symbol) {
    const int index = FindSymbol(symbol);
    if (index < 0) {
        return false;
    }
    symbols_.erase(symbols_.begin() + index);
    modified_ = true;
    return true;
}

} // namespace mvr
