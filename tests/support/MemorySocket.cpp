#include "support/MemorySocket.h"

#include "core/net/SocketError.h"

#include <algorithm>
#include <cstring>

namespace mvr::test {

CMemorySocket::CMemorySocket(std::vector<std::uint8_t> incoming)
    : incoming_(std::move(incoming)), limit_(incoming_.size()) {}

bool CMemorySocket::Receive(void* buffer, int length, int* received, int /*flags*/) {
    const std::size_t end = std::min(limit_, incoming_.size());
    const std::size_t wanted = static_cast<std::size_t>(std::max(length, 0));
    const std::size_t count = std::min(wanted, end - std::min(delivered_, end));
    if (count > 0) {
        std::memcpy(buffer, incoming_.data() + delivered_, count);
    }
    delivered_ += count;
    if (received != nullptr) {
        *received = static_cast<int>(count);
    }
    if (onReceived_) {
        onReceived_(delivered_);
    }
    if (count < wanted) {
        // What a socket reports when the peer has closed its end.
        SetError(kSockErrConnectionAborted);
        return false;
    }
    return true;
}

bool CMemorySocket::Send(const void* buffer, int length, int /*flags*/) {
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    sent_.insert(sent_.end(), bytes, bytes + std::max(length, 0));
    return true;
}

} // namespace mvr::test
