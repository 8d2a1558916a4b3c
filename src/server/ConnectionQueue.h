#pragma once

// Hands accepted connections from the listener to the worker threads. Its
// capacity bounds the connections that are accepted but not yet served; the
// listener accepts only while there is room, so further clients wait in the
// system's listen queue.

#include "server/ConnectionSocket.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>

namespace mvr {

struct AcceptedConnection {
    std::unique_ptr<CConnectionSocket> socket;
    PeerAddress peer;
};

class CConnectionQueue {
public:
    explicit CConnectionQueue(std::size_t capacity) : capacity_(capacity) {}

    // Waits up to `timeout` for room; false when there is none or the queue is closed.
    bool WaitForRoom(std::chrono::milliseconds timeout);
    // False when the queue is closed (the connection is then dropped).
    bool Push(AcceptedConnection connection);
    // Waits for a connection; false once the queue is closed and empty.
    bool Pop(AcceptedConnection& connection);
    // Wakes every waiting worker; connections still queued are served first.
    void Close();

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<AcceptedConnection> queue_;
    std::size_t capacity_;
    bool closed_ = false;
};

} // namespace mvr
