#pragma once

// The index files of a MetaStock directory, as this system reads and writes
// them:
//   MASTER   53-byte records, record 0 a header: the symbols of F1..F255.DAT
//   EMASTER  192-byte records, record i describing MASTER record i (long names)
//   XMASTER  150-byte records, record 0 a header: the symbols of F256.MWD on
// Every byte this system does not name is carried unchanged in the symbol's
// raw records and in the headers.

#include "core/formats/ExportSymbolInfo.h"
#include "core/platform/FileSystem.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace mvr {

// MASTER holds one byte of file number: file numbers 1..255.
inline constexpr std::size_t kMaxMasterRecords = 255;
// XMASTER holds 16-bit counts and file numbers.
inline constexpr std::size_t kMaxXmasterRecords = 65535;

const MasterRecord& MasterTemplate();
const EmasterRecord& EmasterTemplate();
const XmasterRecord& XmasterTemplate();
// The header of a newly created XMASTER.
XmasterRecord NewXmasterHeader();

// Symbol fields taken from one record (tables of the index layout).
void ReadMasterRecord(const MasterRecord& record, ExportSymbolInfo& symbol);
// The long name of an EMASTER record, or nothing when it has none.
std::optional<std::string> EmasterLongName(const EmasterRecord& record);
void ReadXmasterRecord(const XmasterRecord& record, ExportSymbolInfo& symbol);

// The symbol text of the raw index record a symbol lives in (XMASTER, else the
// longer of MASTER's and EMASTER's), padding removed; up to 15 characters.
// Empty for a record that holds none.
std::string LongSymbolOfRecords(const ExportSymbolInfo& symbol);

// Brings a symbol's raw records up to date with its fields before they are written.
void RefreshMasterRecord(ExportSymbolInfo& symbol);
void RefreshEmasterRecord(ExportSymbolInfo& symbol);
void RefreshXmasterRecord(ExportSymbolInfo& symbol);

// Whether a symbol's record goes to XMASTER (its file number does not fit MASTER).
bool BelongsInXmaster(const ExportSymbolInfo& symbol);

// The three files as read; an absent file is an empty optional.
struct MetaStockIndexBytes {
    std::span<const std::uint8_t> master;
    std::optional<std::span<const std::uint8_t>> emaster;
    std::optional<std::span<const std::uint8_t>> xmaster;
    bool xmasterUnreadable = false; // the file exists but could not be read
};

struct MetaStockIndexContent {
    std::vector<ExportSymbolInfo> symbols; // MASTER order, then XMASTER order
    double startDate = 0.0;                // earliest non-zero first date
    // False when part of the index could not be taken (an XMASTER too large to
    // be one, or unreadable): the folder must then not be rewritten from it.
    bool complete = true;
    std::string problem;
};

// Nothing when MASTER is shorter than its header or holds more records than
// MASTER can (`problem` says which). Trailing partial records are dropped; an
// XMASTER shorter than its header is ignored. EMASTER records are paired with
// MASTER records by position when their file numbers agree, otherwise by file
// number, so that an EMASTER that disagrees with MASTER lends no wrong names.
std::optional<MetaStockIndexContent> DecodeMetaStockIndex(const MetaStockIndexBytes& files,
                                                          std::string* problem);

struct MetaStockIndexHeaders {
    MasterRecord master{};
    EmasterRecord emaster{};
    XmasterRecord xmaster{};
};

struct MetaStockIndexImages {
    ByteBuffer master;
    ByteBuffer emaster;
    ByteBuffer xmaster; // empty when no symbol lives in XMASTER
};

// The file images of a symbol list (whose raw records are refreshed first).
// Nothing when more symbols would go to MASTER than it can hold.
std::optional<MetaStockIndexImages> EncodeMetaStockIndex(std::vector<ExportSymbolInfo>& symbols,
                                                         const MetaStockIndexHeaders& headers);

} // namespace mvr
