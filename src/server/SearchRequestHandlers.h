#pragma once

// The answers to the instrument requests: the text search (121), the lookup
// of a directory's symbols (131) and the translation of the predecessor's
// instrument numbers (130).

#include "server/RequestContext.h"

#include <cstdint>

namespace mvr {

// The most symbols a lookup and numbers a translation may carry.
inline constexpr std::int32_t kMaxLookupSymbols = 100000;
inline constexpr std::int32_t kMaxTranslationNumbers = 1000000;

void AnswerSymbolSearch(CRequestContext& request);
void AnswerSymbolLookup(CRequestContext& request);
void AnswerTranslation(CRequestContext& request);

} // namespace mvr
