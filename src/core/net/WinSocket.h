#pragma once

// One IPv4 socket with exact-length receives and sends, on Windows Sockets or
// POSIX sockets. The object never throws: every operation returns false and
// leaves a Windows Sockets error code in Error(); the request layer turns that
// into a CIOException.

#include "core/net/RunFlag.h"

#include <chrono>
#include <cstdint>
#include <string>

namespace mvr {

// Wide enough for a Windows SOCKET and a POSIX descriptor alike; all bits set
// means closed, as INVALID_SOCKET and -1 both are.
using SocketHandle = std::uintptr_t;
inline constexpr SocketHandle kInvalidSocket = ~SocketHandle{0};

enum class SocketType { Stream, Datagram };

// Where an accepted connection comes from.
struct PeerAddress {
    std::string address; // dotted IPv4 text
    int port = 0;
};

// Starts the socket library once per process for version major.minor; true at
// once after a successful start. Elsewhere than on Windows there is nothing to
// start and the first call always succeeds.
bool StartSockets(int major, int minor);
// What a program tells when StartSockets fails.
inline constexpr const char* kSocketsInitError = "Error init Windows-Sockets!";

class CWinSocket {
public:
    CWinSocket() = default;
    virtual ~CWinSocket();
    CWinSocket(const CWinSocket&) = delete;
    CWinSocket& operator=(const CWinSocket&) = delete;

    // Opens a socket bound to the local address (a dotted IPv4 text, or any
    // address when null or empty) and port (0 = any). A local address that is
    // not a dotted IPv4 text fails with WSAEINVAL. On failure the socket is
    // closed and the error kept.
    virtual bool Create(int localPort, SocketType type, const char* localAddress,
                        bool reuseAddress);
    // Takes a pending connection of this listening socket into `connected`.
    virtual bool Accept(CWinSocket& connected, PeerAddress* peer = nullptr);
    virtual void Close();
    // Receives exactly `length` bytes; a peer that closes first gives
    // WSAECONNABORTED. Bytes that did arrive are counted either way.
    virtual bool Receive(void* buffer, int length, int flags = 0);
    virtual bool Receive(void* buffer, int length, int* received, int flags = 0);
    // True exactly when all bytes were handed to the network.
    virtual bool Send(const void* buffer, int length, int flags = 0);

    // Connects a fresh stream socket to `host` (dotted IPv4 text or host name)
    // at the configured server port, waiting at most the request time-out. An
    // unresolvable host fails with WSAEINVAL. Resets the received counter.
    bool Connect(const char* host);

    bool Listen(int backlog);
    // Waits until a receive (or, on a listening socket, an accept) would not
    // block; false when the time-out passed first (WSAETIMEDOUT) or the wait
    // failed. A server polls its listener this way so that it can stop.
    bool WaitUntilReadable(std::chrono::milliseconds timeout);
    // Announces the end of what this side sends; receiving goes on.
    bool ShutdownSend();
    bool SetBlocking(bool blocking);
    // Sends small writes at once instead of gathering them (Nagle's rule):
    // an answer of many short blocks would otherwise wait for the peer's
    // delayed acknowledgements.
    bool SetNoDelay(bool noDelay);
    bool SetReceiveTimeout(std::chrono::milliseconds timeout);
    bool SetSendTimeout(std::chrono::milliseconds timeout);

    // While a run flag is watched, a receive or a connect that waits looks at
    // it several times a second and gives up with WSAEINTR once it is cleared,
    // so that a silent server cannot hold up a request that was cancelled.
    // Null stops watching; the flag must outlive the watch.
    void WatchRunFlag(const RunFlag* run) { watchedRun_ = run; }

    bool IsOpen() const { return handle_ != kInvalidSocket; }
    // The bound local port, or 0 when the socket is closed or unbound.
    int LocalPort() const;
    int Error() const { return error_; }
    void SetError(int code) { error_ = code; }
    // Bytes delivered by the receive operations since the last Connect.
    std::int64_t BytesReceived() const { return bytesReceived_; }

private:
    bool OpenUnbound(SocketType type);
    bool Fail(int code);
    bool FailWithLastError();
    bool FailAndClose(int code);
    bool ConnectWithin(const void* address, std::chrono::milliseconds timeout);
    bool WaitUntilConnected(std::chrono::milliseconds timeout);
    // `wait` for at most `timeout` (none when zero), in short slices while a
    // run flag is watched; false with WSAEINTR once the flag is cleared.
    template <typename Wait>
    bool WaitWhileRunning(std::chrono::milliseconds timeout, Wait wait);

    SocketHandle handle_ = kInvalidSocket;
    const RunFlag* watchedRun_ = nullptr;
    std::chrono::milliseconds receiveTimeout_{0};
    std::int64_t bytesReceived_ = 0;
    int error_ = 0;
};

} // namespace mvr
