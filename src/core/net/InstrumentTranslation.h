#pragma once

// Translates the predecessor's instrument numbers into the server's (request
// 130), for the import of a predecessor installation.

#include "core/net/RequestCodes.h"
#include "core/net/RunFlag.h"

#include <cstdint>
#include <unordered_map>

namespace mvr {

// Predecessor number -> SInCode; 0 = not translated.
using TranslationMap = std::unordered_map<std::int32_t, std::int32_t>;

// Sends every key of `map` and sets the entry of each answered record's
// predecessor number to its SInCode (a number that was not sent becomes a new
// key). `checkNumber` is the result of the account check. Entries set before
// a communication error stay set; the error is raised as CIOException.
void TranslateInstrumentNumbers(TranslationMap& map, std::int32_t checkNumber, const RunFlag& run);

} // namespace mvr
