#pragma once

// The chart-program formats the system knows, selected by a format type 0..22:
// their display names, how a symbol's data file is named, which index a
// directory of that format keeps, and what the system can do with the files.

#include <cstdint>
#include <span>
#include <string>

namespace mvr {

struct ExportSymbolInfo;

// Markers, not formats: no format set yet, and a folder without a recognised index.
inline constexpr int kFormatNotSet = 50;
inline constexpr int kFormatUnrecognised = 100;

inline constexpr int kFormatCompuTrac = 3;
inline constexpr int kFormatMetaStock = 4;
inline constexpr int kFormatAsciiComma = 5;
inline constexpr int kFormatAsciiTab = 9;
inline constexpr int kFormatAsciiExcelComma = 10;
inline constexpr int kFormatAsciiExcelPoint = 11;
inline constexpr int kFormatAsciiNoDate13 = 13;
inline constexpr int kFormatAsciiNoDate14 = 14;
inline constexpr int kFormatAsciiCommaLongYear = 15;
inline constexpr int kFormatHermes = 17;
inline constexpr int kFormatMetaStockIntraday = 20;
inline constexpr int kFormatAsciiIntraday = 21;

inline constexpr int kLastFormatType = 22;

// How the data file of a symbol is named.
enum class DataFileNaming {
    None,         // the format has no data file (or it is written through other means)
    SavantD95,    // symbol + ".d_95"
    MarketMaker,  // symbol + ".mm" + the low byte of the symbol's interval
    MetaStock,    // "F" + file number + ".DAT" (below 256) or ".MWD"
    Prn,          // symbol + ".prn"
    OptionTrader, // symbol + ".hdf"
    TopVest,      // symbol + ".d_5F"
    HermesAsc,    // symbol + ".asc"
};

// Which index a directory of the format keeps.
enum class DirectoryIndex {
    None,
    MetaStock,  // MASTER, EMASTER, XMASTER
    Ascii,      // "mvrexp.mas"
    HermesScan, // no file: the folder is scanned for ".asc" files
};

enum class DataFileCodec {
    None,
    MetaStock,
    Ascii,
};

struct FormatTypeInfo {
    int type;
    const char* displayName;
    DataFileNaming naming;
    DirectoryIndex index;
    DataFileCodec reads;  // what Read understands
    DataFileCodec writes; // what Write produces
    bool deletes;         // whether Delete removes the data file
    bool intraday;        // bars of the directory's interval instead of daily bars
};

// The catalogue entry of a type, or nullptr for a type outside 0..22.
const FormatTypeInfo* FindFormatType(int type);

// The display name, or an empty text for a type outside 0..22.
std::string FormatDisplayName(int type);

// The types offered for new directories, in the order they are offered: the
// daily formats, then the intraday ones.
std::span<const int> OfferedFormatTypes();

bool IsIntradayFormat(int type);
DirectoryIndex DirectoryIndexOf(int type);

// The file name (without folder) of the symbol's data file in the format, or
// an empty text when the format has no data file or the symbol cannot name
// one safely (a separator or control character in the name, no file number).
std::string DataFileName(int type, const ExportSymbolInfo& symbol);

} // namespace mvr
