#pragma once

// A connection held in memory: receives replay a byte string (failing like a
// closed connection once it is used up, or once a cut point is reached) and
// sends are recorded. A request object attached to it moves blocks exactly as
// over a socket, so answers can be produced and decoded without a network,
// and cut at any byte.

#include "core/net/WinSocket.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace mvr::test {

class CMemorySocket : public CWinSocket {
public:
    explicit CMemorySocket(std::vector<std::uint8_t> incoming = {});

    // Receives fail once this many bytes have been delivered.
    void CutAfter(std::size_t bytes) { limit_ = bytes; }
    // Replays the incoming bytes once more from the start.
    void Rewind() { delivered_ = 0; }
    // Called with the number of bytes delivered after every receive.
    void OnReceived(std::function<void(std::size_t)> callback) {
        onReceived_ = std::move(callback);
    }

    using CWinSocket::Receive;
    bool Receive(void* buffer, int length, int* received, int flags = 0) override;
    bool Send(const void* buffer, int length, int flags = 0) override;

    const std::vector<std::uint8_t>& Sent() const { return sent_; }
    std::size_t Delivered() const { return delivered_; }

private:
    std::vector<std::uint8_t> incoming_;
    std::vector<std::uint8_t> sent_;
    std::size_t delivered_ = 0;
    std::size_t limit_;
    std::function<void(std::size_t)> onReceived_;
};

} // namespace mvr::test
