#pragma once

// An accepted connection of the price server. It bounds the whole connection
// by a deadline (besides the time-out of each receive and send, so that a
// client trickling bytes cannot keep a worker for ever), counts what it sends,
// and carries the injected transport faults: a pause before every send and
// an abrupt close after a number of bytes.

#include "core/net/WinSocket.h"
#include "server/ServeOptions.h"

#include <atomic>
#include <chrono>
#include <cstdint>

namespace mvr {

class CConnectionSocket : public CWinSocket {
public:
    // `stopping` is the server's stop request: pauses end early once it is set.
    CConnectionSocket(const ServeOptions& options, const std::atomic<bool>& stopping);

    // Starts the connection's clock and sets the socket's time-outs.
    bool Begin();

    using CWinSocket::Receive;
    bool Receive(void* buffer, int length, int* received, int flags = 0) override;
    bool Send(const void* buffer, int length, int flags = 0) override;

    std::int64_t BytesSent() const { return bytesSent_; }

    // Ends the connection so that the client reads everything sent before
    // it: the send side is shut and what the client still sends is read and
    // dropped until it closes (briefly; a client that lingers is cut off).
    void CloseGracefully();

private:
    std::chrono::milliseconds Remaining() const;
    bool ApplyTimeouts();
    void Pause() const;

    const ServeOptions& options_;
    const std::atomic<bool>& stopping_;
    std::chrono::steady_clock::time_point deadline_{};
    std::int64_t bytesSent_ = 0;
};

} // namespace mvr
