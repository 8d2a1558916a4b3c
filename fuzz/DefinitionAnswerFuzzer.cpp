// The client's reader of the definition-file answer (200) on any bytes a
// server may send: a count block, then the bytes in blocks. Storage must
// grow only with bytes that arrived, never beyond the count.

#include "support/InputSocket.h"
#include "support/RecordChecks.h"

#include "core/definition/ChunkedBytes.h"
#include "core/net/IOException.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using mvr::fuzz::Require;
    mvr::fuzz::CInputSocket socket({data, size});
    const mvr::RunFlag run{1};
    mvr::CClientRequest request(socket, run);
    try {
        // The client takes answers of any size a count can announce.
        const mvr::ChunkedBytes answer =
            mvr::readChunkedBytes(request, std::numeric_limits<std::int32_t>::max());
        const std::size_t wanted = static_cast<std::size_t>(std::max(answer.announced, 0));
        Require(answer.bytes.size() <= wanted);
        Require(answer.bytes.size() <= size);
        Require(answer.surplus >= 0);
        Require(answer.end != mvr::ChunkedEnd::Complete || answer.bytes.size() == wanted);
        Require(answer.end != mvr::ChunkedEnd::NoCount || answer.bytes.empty());
    } catch (const mvr::CIOException&) {
    }
    return 0;
}
