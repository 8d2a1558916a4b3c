#include "server/ConnectionSocket.h"

#include "core/net/SocketError.h"

#include <algorithm>
#include <thread>

namespace mvr {

namespace {

// How long a closing connection waits for the client to close its end.
constexpr std::chrono::milliseconds kLingerLimit{1000};
constexpr int kLingerBytes = 64 * 1024;
// Pauses are cut into slices so that a stopping server does not wait for them.
constexpr std::chrono::milliseconds kPauseSlice{20};

} // namespace

CConnectionSocket::CConnectionSocket(const ServeOptions& options, const std::atomic<bool>& stopping)
    : options_(options), stopping_(stopping) {}

bool CConnectionSocket::Begin() {
    deadline_ = std::chrono::steady_clock::now() + options_.connectionLimit;
    return SetBlocking(true) && SetNoDelay(true) && ApplyTimeouts();
}

std::chrono::milliseconds CConnectionSocket::Remaining() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(deadline_ -
                                                                 std::chrono::steady_clock::now());
}

// Each operation may wait at most its own time-out and never beyond the
// connection's deadline.
bool CConnectionSocket::ApplyTimeouts() {
    const auto remaining = Remaining();
    if (remaining.count() <= 0) {
        SetError(kSockErrTimedOut);
        return false;
    }
    const auto wait = std::min(options_.ioTimeout, remaining);
    return SetReceiveTimeout(wait) && SetSendTimeout(wait);
}

bool CConnectionSocket::Receive(void* buffer, int length, int* received, int flags) {
    if (!ApplyTimeouts()) {
        if (received != nullptr) {
            *received = 0;
        }
        return false;
    }
    return CWinSocket::Receive(buffer, length, received, flags);
}

void CConnectionSocket::Pause() const {
    const auto until = std::chrono::steady_clock::now() + options_.faults.blockDelay;
    while (!stopping_.load() && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
            kPauseSlice, until - std::chrono::steady_clock::now()));
    }
}

bool CConnectionSocket::Send(const void* buffer, int length, int flags) {
    if (options_.faults.blockDelay.count() > 0) {
        Pause();
    }
    if (!ApplyTimeouts()) {
        return false;
    }
    int allowed = length;
    if (options_.faults.closeAfterBytes) {
        allowed = static_cast<int>(
            std::clamp<std::int64_t>(*options_.faults.closeAfterBytes - bytesSent_, 0, length));
    }
    if (allowed > 0 && !CWinSocket::Send(buffer, allowed, flags)) {
        return false;
    }
    bytesSent_ += allowed;
    if (allowed < length) {
        Close();
        SetError(kSockErrConnectionAborted);
        return false;
    }
    return true;
}

void CConnectionSocket::CloseGracefully() {
    if (IsOpen() && ShutdownSend()) {
        const auto until = std::chrono::steady_clock::now() + kLingerLimit;
        char scratch[512];
        int drained = 0;
        while (drained < kLingerBytes) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                until - std::chrono::steady_clock::now());
            if (left.count() <= 0 || !WaitUntilReadable(left)) {
                break;
            }
            int got = 0;
            CWinSocket::Receive(scratch, 1, &got);
            if (got == 0) {
                break; // the client has closed
            }
            drained += got;
        }
    }
    Close();
}

} // namespace mvr
