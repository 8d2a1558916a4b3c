#include "core/net/DataStream.h"

namespace mvr {

void CDataStream::Reset() {
    buffer_.fill(0);
    position_ = kHeaderSize;
}

} // namespace mvr
