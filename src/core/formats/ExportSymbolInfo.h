#pragma once

// One symbol of an export directory: its texts, server number, dates, the
// MetaStock data-file description and the raw MetaStock index records it was
// read from (or will be written to). Stored byte for byte (728 bytes) in the
// ASCII directory index "mvrexp.mas".

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace mvr {

inline constexpr std::size_t kMasterRecordSize = 53;
inline constexpr std::size_t kEmasterRecordSize = 192;
inline constexpr std::size_t kXmasterRecordSize = 150;

using MasterRecord = std::array<std::uint8_t, kMasterRecordSize>;
using EmasterRecord = std::array<std::uint8_t, kEmasterRecordSize>;
using XmasterRecord = std::array<std::uint8_t, kXmasterRecordSize>;

enum SymbolPeriod : std::int32_t {
    kPeriodDaily = 0,
    kPeriodWeekly = 1,
    kPeriodMonthly = 2,
    kPeriodIntraday = 3,
};

// The period of a period letter as index files of chart programs store it:
// "I" intraday, "M" monthly, "W" weekly, anything else daily.
SymbolPeriod PeriodOfLetter(std::uint8_t letter);

struct ExportSymbolInfo {
    static constexpr std::size_t kSize = 728;
    static constexpr std::size_t kMaxSymbolChars = 8;
    static constexpr std::int32_t kDefaultFieldCount = 7;

    // At most 8 characters in every index; longer only in memory. The full
    // text of a longer MetaStock symbol: FullSymbolText.
    std::string symbol;
    std::int32_t sinCode = 0; // the server's instrument number; 0 until looked up
    std::string name;         // instrument name
    std::uint32_t reserved276 = 0;
    double firstDate = 0.0; // OLE date of the first stored bar (or the wanted start)
    double lastDate = 0.0;  // OLE date of the last stored bar
    std::int32_t period = kPeriodDaily;
    std::uint16_t interval = 0; // minutes per intraday bar
    std::uint16_t reserved302 = 0;
    std::int32_t fieldCount = kDefaultFieldCount; // MetaStock fields per data record, 5..8
    std::int32_t fileNumber = 0;                  // n of F<n>.DAT / F<n>.MWD
    std::int32_t hasEmaster = 0;                  // an EMASTER record was read for the symbol
    std::int32_t inXmaster = 0;                   // the symbol's index record lives in XMASTER
    std::int32_t masterPos = 0;  // byte offset of the MASTER record read; -1 for a new symbol
    std::int32_t xmasterPos = 0; // byte offset of the XMASTER record read; -1 for a new symbol
    MasterRecord masterRecord{};
    EmasterRecord emasterRecord{};
    XmasterRecord xmasterRecord{};
    std::uint8_t reserved723 = 0;
    std::uint32_t importedValue = 0; // offset 724: carried, never interpreted

    void Serialize(std::span<std::uint8_t, kSize> out) const;
    static ExportSymbolInfo Deserialize(std::span<const std::uint8_t, kSize> in);

    bool operator==(const ExportSymbolInfo&) const = default;
};

// The symbol's full text. MetaStock index files of other programs hold longer
// symbols than the 8 characters of `symbol` (MASTER and EMASTER 14, XMASTER
// 15): when the raw index record a symbol was read from holds one that `symbol`
// is the cut of, that one; otherwise `symbol`. Lists, searches and lookups go
// by it, so that BIOTEC.OL and BIOTEC.OS stay two symbols.
std::string FullSymbolText(const ExportSymbolInfo& symbol);

} // namespace mvr
