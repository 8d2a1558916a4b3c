#include "server/RequestBody.h"

#include "core/net/IOException.h"

#include <string>

namespace mvr {

namespace {

[[noreturn]] void Malformed(const char* what, const char* problem) {
    throw CIOException(std::string("malformed ") + what + ": " + problem);
}

} // namespace

void RequireWithinPayload(const CDataInputStream& in, const char* what) {
    if (in.Position() > in.BlockLength() + CDataStream::kHeaderSize) {
        Malformed(what, "item runs past the block");
    }
}

void RequirePayload(const CDataInputStream& in, std::int32_t bytes, const char* what) {
    if (in.Position() + bytes > in.BlockLength() + CDataStream::kHeaderSize) {
        Malformed(what, "item runs past the block");
    }
}

std::int32_t ReadCount(CDataInputStream& in, std::int32_t limit, const char* what) {
    RequirePayload(in, 4, what);
    const std::int32_t count = in.readLong();
    if (count < 0 || count > limit) {
        Malformed(what, "count out of range");
    }
    return count;
}

void ReadCountedItems(CClientRequest& connection, std::int32_t count,
                      const std::function<void(CDataInputStream&)>& readItem, const char* what) {
    std::int32_t read = 0;
    while (read < count) {
        if (!connection.readBlock()) {
            Malformed(what, "fewer items than announced");
        }
        CDataInputStream& in = connection.In();
        while (in.HasMore()) {
            if (read == count) {
                Malformed(what, "more items than announced");
            }
            readItem(in);
            RequireWithinPayload(in, what);
            ++read;
        }
    }
}

} // namespace mvr
