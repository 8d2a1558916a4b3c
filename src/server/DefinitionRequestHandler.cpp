#include "server/DefinitionRequestHandler.h"

#include "core/definition/ChunkedBytes.h"
#include "core/net/IOException.h"
#include "server/DefinitionAnswer.h"

#include <span>
#include <string>

namespace mvr {

namespace {

// The upload must be exactly what the client announced: nothing missing,
// nothing behind it, no negative count.
std::string ReadUpload(CRequestContext& request) {
    const ChunkedBytes upload = readChunkedBytes(request.Connection(), kMaxDefinitionFileBytes);
    if (upload.end != ChunkedEnd::Complete || upload.surplus != 0 || upload.announced < 0) {
        throw CIOException("definition file body");
    }
    return std::string(upload.bytes.begin(), upload.bytes.end());
}

} // namespace

void AnswerDefinitionFile(CRequestContext& request) {
    const std::string definition = ReadUpload(request);
    // An injected status marker stands where the answer's count would be.
    if (request.InjectedMarker() != 0) {
        request.SetResult("marker=" + std::to_string(request.EndSection()));
        return;
    }
    const DefinitionAnswer answer = BuildDefinitionAnswer(request.Data(), definition);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(answer.text.data());
    writeChunkedBytes(request.Connection(), std::span(bytes, answer.text.size()));
    request.SetResult(
        "lines=" + std::to_string(answer.queries) + ",errors=" + std::to_string(answer.errors) +
        ",bars=" + std::to_string(answer.bars) + ",bytes=" + std::to_string(answer.text.size()));
}

} // namespace mvr
