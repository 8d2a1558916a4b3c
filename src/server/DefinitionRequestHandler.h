#pragma once

// The answer to the definition-file exchange (200): the uploaded definition
// file in, its prices as text out (DefinitionAnswer.h), both framed as a count
// block followed by blocks of at most 4092 bytes.

#include "server/RequestContext.h"

#include <cstdint>

namespace mvr {

// The largest definition file the server takes; far more lines than anyone
// keeps in one.
inline constexpr std::int32_t kMaxDefinitionFileBytes = 1 << 20;

void AnswerDefinitionFile(CRequestContext& request);

} // namespace mvr
