#include "core/definition/DefinitionFileRequest.h"

#include "core/definition/ChunkedBytes.h"
#include "core/net/IOException.h"
#include "core/net/ServerRequest.h"
#include "core/platform/AtomicFile.h"
#include "core/platform/FileSystem.h"

#include <limits>
#include <optional>

namespace mvr {

namespace {

constexpr std::int32_t kMaxBytes = std::numeric_limits<std::int32_t>::max();

DefinitionFileOutcome StoreAnswer(const std::string& outputPath, const ChunkedBytes& answer,
                                  std::int32_t endMarker) {
    if (answer.end == ChunkedEnd::Stopped) {
        return DefinitionFileOutcome::Stopped;
    }
    // An empty header ends an answer normally (in place of the count it is an
    // empty answer); a negative one is the server's error, which must not
    // replace an earlier output file with a part of an answer.
    if (answer.end != ChunkedEnd::Complete && endMarker < 0) {
        return DefinitionFileOutcome::ServerError;
    }
    if (!WriteFileAtomically(outputPath, answer.bytes)) {
        return DefinitionFileOutcome::OutputNotWritten;
    }
    return answer.end == ChunkedEnd::EndedEarly ? DefinitionFileOutcome::WrittenIncomplete
                                                : DefinitionFileOutcome::Written;
}

} // namespace

DefinitionFileOutcome ExchangeDefinitionFile(const std::string& inputPath,
                                             const std::string& outputPath,
                                             std::int32_t checkNumber, const RunFlag& runFlag) {
    // Read before connecting: an input that cannot be read costs no request.
    const std::optional<ByteBuffer> input =
        ReadWholeFile(inputPath, static_cast<std::uint64_t>(kMaxBytes));
    if (!input) {
        return DefinitionFileOutcome::InputUnreadable;
    }
    if (!StartSockets(1, 1)) {
        return DefinitionFileOutcome::ConnectionFailed;
    }
    ChunkedBytes answer;
    std::int32_t endMarker = 0;
    try {
        CWinSocket socket;
        CSearchRequest request;
        request.Open(socket, runFlag);
        request.writeHeader(kRequestDefinitionFile, checkNumber);
        writeChunkedBytes(request, *input);
        answer = readChunkedBytes(request, kMaxBytes);
        endMarker = request.In().BlockLength();
    } catch (const CIOException&) {
        return DefinitionFileOutcome::ConnectionFailed;
    }
    return StoreAnswer(outputPath, answer, endMarker);
}

} // namespace mvr
