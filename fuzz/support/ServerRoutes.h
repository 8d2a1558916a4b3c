#pragma once

// What the first byte of a server request input picks (its low seven bits,
// modulo the count): the request header itself (code 0), or the body of a
// request code. Shared by the target and the seed generator.

#include "core/net/RequestCodes.h"

#include <cstdint>

namespace mvr::fuzz {

inline constexpr std::uint8_t kServerRoutes[] = {
    0,
    kRequestLogin,
    kRequestCheckAccount,
    kRequestClientInfo,
    kRequestCatalogues,
    kRequestCatalogueContents,
    kRequestSymbolSearch,
    kRequestSymbolLookup,
    kRequestTranslateNumbers,
    kDailyBarsRequestCode,
    kIntradayBarsRequestCode,
    kRequestDefinitionFile,
};

// The top bit of the first byte: the header carries a valid account check number.
inline constexpr std::uint8_t kValidNumberBit = 0x80;

} // namespace mvr::fuzz
