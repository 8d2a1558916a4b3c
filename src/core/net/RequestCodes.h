#pragma once

// The code of every request the client sends, the third byte of its header:
// one table for the client's requests and the reference server's handlers.

#include <cstdint>

namespace mvr {

inline constexpr std::uint8_t kRequestCatalogues = 3;    // the catalogue tree, groups, catalogues
inline constexpr std::uint8_t kDailyBarsRequestCode = 4; // daily price histories
inline constexpr std::uint8_t kIntradayBarsRequestCode = 7;   // intraday price histories
inline constexpr std::uint8_t kRequestCatalogueContents = 11; // the instruments of a catalogue
inline constexpr std::uint8_t kRequestClientInfo = 43;        // the client information
inline constexpr std::uint8_t kRequestCheckAccount = 55;      // the account check
inline constexpr std::uint8_t kRequestLogin = 63;             // login and reference tables
inline constexpr std::uint8_t kRequestSymbolSearch = 121;     // the text search
inline constexpr std::uint8_t kRequestTranslateNumbers = 130; // the predecessor's numbers
inline constexpr std::uint8_t kRequestSymbolLookup = 131;     // numbers of symbol texts
inline constexpr std::uint8_t kRequestDefinitionFile = 200;   // the definition-file exchange

} // namespace mvr
