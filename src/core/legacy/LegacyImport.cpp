#include "core/legacy/LegacyImport.h"

#include "core/formats/DayNumber.h"
#include "core/formats/ExportDirectory.h"
#include "core/formats/PriceFileNames.h"
#include "core/legacy/ImportLog.h"
#include "core/legacy/LegacyFile.h"
#include "core/legacy/LegacyFormats.h"
#include "core/legacy/LegacySymbolTable.h"
#include "core/legacy/MasterFile.h"
#include "core/net/InstrumentTranslation.h"
#include "core/net/IOException.h"
#include "core/net/UserRequests.h"
#include "core/platform/AtomicFile.h"
#include "core/platform/OleDate.h"
#include "core/platform/Paths.h"
#include "core/platform/TextUtil.h"

#include <algorithm>

namespace mvr {

namespace {

constexpr std::size_t kTranslationBuckets = 5000;
constexpr double kStartDaysBeforeNow = 300.0;
// The folder is registered all the same; its index lacks the imported symbols.
constexpr const char* kIndexNotWrittenLine = " - Index could not be written";

enum class FormatClass { MetaStock, Ascii, Other };

FormatClass ClassOf(int formatType) {
    switch (formatType) {
    case kFormatMetaStock:
        return FormatClass::MetaStock;
    case kFormatAsciiComma:
    case kFormatAsciiTab:
    case kFormatAsciiExcelComma:
    case kFormatAsciiExcelPoint:
    case kFormatAsciiNoDate13:
    case kFormatAsciiNoDate14:
    case kFormatAsciiCommaLongYear:
    case kFormatHermes:
        return FormatClass::Ascii;
    default:
        return FormatClass::Other;
    }
}

// Existence is tested without the trailing separator the predecessor may
// have stored: a name ending in one names no entry.
std::string TestPath(const Cqdx_kvlo_directory_info& directory) {
    return WithoutTrailingSeparator(directory.path);
}

bool Exists(const Cqdx_kvlo_directory_info& directory) {
    return EntryExists(TestPath(directory));
}

// The form in which the system keeps directory paths.
std::string RegisteredPath(const Cqdx_kvlo_directory_info& directory) {
    return WithTrailingSeparator(directory.path);
}

// One import run on copies of the configuration's arrays.
class CLegacyImport {
public:
    CLegacyImport(const ExportUserInfo& user, std::vector<MVRKrsExportInfo> directories,
                  std::vector<CMVRDirListInfo> lists, std::vector<Cqdx_kvlo_format_info> formats,
                  CLegacySymbolTable symbols, const RunFlag& run)
        : run_(run), user_(user), directories_(std::move(directories)), lists_(std::move(lists)),
          formats_(std::move(formats)), symbols_(std::move(symbols)),
          translation_(kTranslationBuckets) {}

    void Run() {
        log_.Line("=============== Kavolo Import (" + FormatDayNumber(TodayDayNumber()) +
                  ") =============");
        log_.Line("Collecting Symbols to Translate");
        for (const Cqdx_kvlo_format_info& format : formats_) {
            CollectFormat(format);
        }
        Translate();
        // A cancelled run is dropped by the caller: it must not leave new
        // indexes in the folders it would have taken over either.
        if (run_.load() == 0) {
            return;
        }
        for (const Cqdx_kvlo_format_info& format : formats_) {
            TakeOverDirectories(format);
        }
    }

    CImportLog& Log() { return log_; }
    std::vector<MVRKrsExportInfo>& Directories() { return directories_; }
    std::vector<CMVRDirListInfo>& Lists() { return lists_; }

private:
    void CollectFormat(const Cqdx_kvlo_format_info& format) {
        log_.Line("    Format '" + LegacyFormatLogName(format.formatType) + "'");
        for (const Cprev_kvlo_list_info& list : format.lists) {
            TakeOverList(list, format.formatType);
        }
        if (ClassOf(format.formatType) != FormatClass::Ascii) {
            return;
        }
        for (const Cqdx_kvlo_directory_info& directory : format.directories) {
            if (!Exists(directory)) {
                continue;
            }
            for (const qdxMasterAsciiEntry& entry :
                 ReadMasterFile(directory.path, format.formatType)) {
                const CLegacySymbolRecord* record = symbols_.LookupSymbol(entry.symbol);
                if (record != nullptr && record->instrumentNumber >= 1) {
                    translation_[record->instrumentNumber] = 0;
                }
            }
        }
    }

    void TakeOverList(const Cprev_kvlo_list_info& list, int formatType) {
        const bool known = std::any_of(lists_.begin(), lists_.end(), [&](const auto& existing) {
            return existing.kind == formatType && EqualsIgnoreCase(existing.name, list.name);
        });
        if (known) {
            return;
        }
        CMVRDirListInfo created;
        created.name = Truncated(list.name, CMVRDirListInfo::kNameSize - 1);
        created.kind = formatType;
        for (const Cqdx_kvlo_directory_info& directory : list.directories) {
            if (Exists(directory)) {
                created.AddPath(RegisteredPath(directory));
            } else {
                log_.Line("Non existing Directory found in List '" + list.name + "' (" +
                          TestPath(directory) + ")");
            }
        }
        lists_.push_back(std::move(created));
    }

    void Translate() {
        const std::int32_t checkNumber = CheckAccount(user_.account, user_.password, run_);
        if (!translation_.empty() && checkNumber >= 1) {
            log_.Line("Sending " + std::to_string(translation_.size()) + " Sincodes to server");
            try {
                TranslateInstrumentNumbers(translation_, checkNumber, run_);
            } catch (const CIOException& error) {
                log_.Line("-- error " + error.Message() + " ");
            }
            log_.Line("processing result list");
        }
        startDate_ = CurrentUtcOleDate() - kStartDaysBeforeNow;
    }

    void TakeOverDirectories(const Cqdx_kvlo_format_info& format) {
        for (const Cqdx_kvlo_directory_info& directory : format.directories) {
            switch (ClassOf(format.formatType)) {
            case FormatClass::MetaStock:
                TakeOverMetaStock(directory);
                break;
            case FormatClass::Ascii:
                TakeOverAscii(directory, format.formatType);
                break;
            case FormatClass::Other:
                return;
            }
        }
    }

    // Registered paths and stored ones may differ in letter case and in the
    // trailing separator, which the system adds when it registers a folder.
    bool IsActive(const Cqdx_kvlo_directory_info& directory) const {
        const std::string path = TestPath(directory);
        return std::any_of(directories_.begin(), directories_.end(), [&](const auto& record) {
            return PathsEqual(WithoutTrailingSeparator(record.path), path);
        });
    }

    void TakeOverMetaStock(const Cqdx_kvlo_directory_info& directory) {
        log_.Line(" import '" + TestPath(directory) + "' '" +
                  LegacyFormatLogName(kFormatMetaStock) + "'");
        if (!Exists(directory)) {
            log_.Line(" - Directory (Metastock) not found");
            return;
        }
        if (IsActive(directory)) {
            log_.Line(" - Directory (Metastock) already active");
            return;
        }
        // A folder without a readable MASTER is registered all the same.
        CExportDirectory index(kFormatMetaStock);
        index.Open(directory.path, kFormatMetaStock);
        MVRKrsExportInfo record;
        record.path = RegisteredPath(directory);
        record.formatType = kFormatMetaStock;
        record.interval = MVRKrsExportInfo::kDefaultInterval;
        record.startDate = index.StartDate();
        directories_.push_back(std::move(record));
        ClearLastAtomicWriteError();
        if (index.IsModified() && !index.Save()) {
            LogIndexNotWritten();
        }
    }

    void TakeOverAscii(const Cqdx_kvlo_directory_info& directory, int formatType) {
        log_.Line("import '" + TestPath(directory) + "' '" + LegacyFormatLogName(formatType) + "'");
        if (IsActive(directory)) {
            log_.Line(" - Directory already active");
            return;
        }
        if (!Exists(directory)) {
            log_.Line(" - Directory not found'");
            return;
        }
        const std::vector<qdxMasterAsciiEntry> entries = ReadMasterFile(directory.path, formatType);
        CExportDirectory index(formatType);
        // An index that cannot be created cannot be saved either: the save below tells.
        ClearLastAtomicWriteError();
        (void)index.Create(directory.path, startDate_, formatType);
        MVRKrsExportInfo record;
        record.interval = MVRKrsExportInfo::kDefaultInterval;
        record.startDate = 0.0;
        CPriceFileNames files(index);
        for (const qdxMasterAsciiEntry& entry : entries) {
            TakeOverSymbol(entry, index, files, record);
        }
        // One retry before the index is given up and the log says so.
        const bool saved = index.Save() || index.Save();
        record.formatType = formatType;
        record.path = index.Path();
        directories_.push_back(std::move(record));
        if (!saved) {
            LogIndexNotWritten();
        }
    }

    // With the system's reason, which tells a full disk from a read-only folder.
    void LogIndexNotWritten() {
        const std::error_code reason = LastAtomicWriteError();
        log_.Line(std::string(kIndexNotWrittenLine) +
                  (reason ? " (" + reason.message() + ")" : std::string()));
    }

    void TakeOverSymbol(const qdxMasterAsciiEntry& entry, CExportDirectory& index,
                        CPriceFileNames& files, MVRKrsExportInfo& record) {
        const CLegacySymbolRecord* known = symbols_.LookupSymbol(entry.symbol);
        if (known == nullptr || known->instrumentNumber < 1) {
            log_.Line(" - SInCode Zero " + entry.symbol + " ");
            return;
        }
        const auto translated = translation_.find(known->instrumentNumber);
        if (translated == translation_.end()) {
            log_.Line(" - SInCode lookup error " + std::to_string(known->instrumentNumber) + " ");
            return;
        }
        if (translated->second == 0) {
            log_.Line(" - Symbol " + known->symbol + " not translated");
            return;
        }
        ExportSymbolInfo symbol = ToExportSymbolInfo(entry);
        symbol.sinCode = translated->second;
        // A second entry of a listed instrument changes nothing (AddSymbol); one
        // of another instrument must not take over the listed symbol's file.
        const bool listed =
            std::any_of(index.Symbols().begin(), index.Symbols().end(),
                        [&](const ExportSymbolInfo& s) { return s.sinCode == symbol.sinCode; });
        if (const std::string* holder = files.HolderOf(symbol); !listed && holder != nullptr) {
            log_.Line(" - Symbol " + entry.symbol + " not added: its price file would be that of " +
                      *holder);
            return;
        }
        if (symbol.firstDate > 0.0 &&
            (record.startDate == 0.0 || record.startDate > symbol.firstDate)) {
            record.startDate = symbol.firstDate;
        }
        if (index.AddSymbol(symbol) && !listed) {
            files.Add(symbol);
        }
    }

    const RunFlag& run_;
    const ExportUserInfo& user_;
    std::vector<MVRKrsExportInfo> directories_;
    std::vector<CMVRDirListInfo> lists_;
    std::vector<Cqdx_kvlo_format_info> formats_;
    CLegacySymbolTable symbols_;
    TranslationMap translation_;
    double startDate_ = 0.0;
    CImportLog log_;
};

} // namespace

std::string LegacyFormatLogName(int formatType) {
    if (FindFormatType(formatType) == nullptr) {
        return "unknown format type " + std::to_string(formatType);
    }
    return FormatDisplayName(formatType);
}

LegacyImportResult RunLegacyImport(const ExportUserInfo& user,
                                   std::vector<MVRKrsExportInfo> directories,
                                   std::vector<CMVRDirListInfo> lists,
                                   std::vector<Cqdx_kvlo_format_info> formats,
                                   CLegacySymbolTable symbols, const RunFlag& run) {
    CLegacyImport import(user, std::move(directories), std::move(lists), std::move(formats),
                         std::move(symbols), run);
    import.Run();
    return {std::move(import.Directories()), std::move(import.Lists()), std::move(import.Log())};
}

} // namespace mvr
