#pragma once

// One symbol of a predecessor ASCII directory, a 91-byte record of "master.kvl":
//   0   9  symbol, at most 8 characters, zero-terminated
//   9  41  name, zero-terminated
//  50   1  period letter: 'I' intraday, 'M' monthly, 'W' weekly, else daily
//  51   2  bar interval in minutes
//  53   4  first date as a decimal number YYMMDD, YYYMMDD or YYYYMMDD; 0 = none
//  57   4  time of day as a decimal number HHMMSS, for both dates
//  61   4  last date, as the first
//  65   4  unused
//  69   4  carried into the symbol record of this system
//  73  18  unused

#include "core/formats/ExportSymbolInfo.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace mvr {

struct qdxMasterAsciiEntry {
    static constexpr std::size_t kSize = 91;
    static constexpr std::size_t kSymbolSize = 9;
    static constexpr std::size_t kNameSize = 41;

    std::string symbol;
    std::string name;
    char periodLetter = 0;
    std::uint16_t interval = 0;
    std::int32_t firstDate = 0;
    std::int32_t time = 0;
    std::int32_t lastDate = 0;
    std::uint32_t carriedValue = 0;

    // Nothing when the symbol fills its field without a terminator: the record
    // is damaged, and a symbol cut to fit could name another instrument. A name
    // without terminator is taken with all 41 bytes.
    static std::optional<qdxMasterAsciiEntry> Decode(std::span<const std::uint8_t, kSize> record);

    bool operator==(const qdxMasterAsciiEntry&) const = default;
};

// The OLE date of a decimal date and time of an entry; 0.0 for no date and for
// a date or time that does not exist (31.02., 25:00:00, a year the
// predecessor's two- and three-digit rules do not give), as the predecessor
// could not have stored it.
double LegacyDateToOleDate(std::int32_t date, std::int32_t time);

// The entry as a new symbol of this system (sinCode 0, to be translated).
ExportSymbolInfo ToExportSymbolInfo(const qdxMasterAsciiEntry& entry);

} // namespace mvr
