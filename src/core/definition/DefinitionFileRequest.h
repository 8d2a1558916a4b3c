#pragma once

// The definition-file exchange (request 200): the input file goes to the
// server unchanged, the server's answer becomes the output file. The client
// does not interpret either. The output file is replaced only with an answer
// that arrived, in one atomic write, so a broken connection, a stop or a
// server error leaves an earlier output file as it was.

#include "core/net/RequestCodes.h"
#include "core/net/RunFlag.h"

#include <cstdint>
#include <string>

namespace mvr {

enum class DefinitionFileOutcome {
    Written,           // the whole answer (possibly empty) is the output file
    WrittenIncomplete, // the server ended its answer early: the bytes that came are written
    InputUnreadable,   // nothing was sent; the output file is untouched
    ServerError,       // a negative status marker before the answer's end; output untouched
    Stopped,           // the run flag was cleared; output untouched
    ConnectionFailed,  // a communication error; output untouched
    OutputNotWritten,  // the answer arrived but the output file could not be replaced
    AccountRefused,    // the account check gave no number; nothing was sent
};

// One exchange on a connection of its own, headed by the account check number.
// Never throws.
DefinitionFileOutcome ExchangeDefinitionFile(const std::string& inputPath,
                                             const std::string& outputPath,
                                             std::int32_t checkNumber, const RunFlag& runFlag);

} // namespace mvr
