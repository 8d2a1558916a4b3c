#include "core/net/WinSocket.h"

#include "core/net/RequestTimeout.h"
#include "core/net/ServerEndpoint.h"
#include "core/net/SocketError.h"

#include <algorithm>
#include <cstring>
#include <mutex>

#ifdef _WIN32
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0600 // inet_pton, inet_ntop
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>
#endif

namespace mvr {

namespace {

// How often a waiting receive or connect looks at a watched run flag: a
// cancelled request gives up well within a second.
constexpr std::chrono::milliseconds kRunFlagPollInterval{100};

#ifdef _WIN32
using NativeSocket = SOCKET;
using AddressLength = int;

int LastSocketError() {
    return WSAGetLastError();
}

void CloseNative(NativeSocket s) {
    closesocket(s);
}

bool IsConnectPending(int code) {
    return code == WSAEWOULDBLOCK;
}
#else
using NativeSocket = int;
using AddressLength = socklen_t;

int LastSocketError() {
    return SocketErrorFromErrno(errno);
}

void CloseNative(NativeSocket s) {
    ::close(s);
}

bool IsConnectPending(int code) {
    return code == SocketErrorFromErrno(EINPROGRESS);
}
#endif

// A peer that has gone away must show up as a failed send, never as a signal
// that ends the process.
#if defined(MSG_NOSIGNAL)
constexpr int kSendFlags = MSG_NOSIGNAL;
#else
constexpr int kSendFlags = 0;
#endif

void PreventSigPipe([[maybe_unused]] NativeSocket s) {
#if defined(SO_NOSIGPIPE)
    int one = 1;
    setsockopt(s, SOL_SOCKET, SO_NOSIGPIPE, &one, sizeof one);
#endif
}

NativeSocket Native(SocketHandle handle) {
    return static_cast<NativeSocket>(handle);
}

SocketHandle Handle(NativeSocket s) {
    return static_cast<SocketHandle>(s);
}

bool IsValidNative(NativeSocket s) {
    return Handle(s) != kInvalidSocket;
}

// Calls a socket function again when a signal interrupted it.
template <typename Call>
auto Retrying(Call call) {
    for (;;) {
        auto result = call();
#ifndef _WIN32
        if (result < 0 && errno == EINTR) {
            continue;
        }
#endif
        return result;
    }
}

bool ParseDottedAddress(const char* text, in_addr* address) {
    return text != nullptr && inet_pton(AF_INET, text, address) == 1;
}

bool ResolveHost(const char* host, in_addr* address) {
    if (host == nullptr || *host == '\0') {
        return false;
    }
    if (ParseDottedAddress(host, address)) {
        return true;
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host, nullptr, &hints, &found) != 0 || found == nullptr) {
        return false;
    }
    *address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr;
    freeaddrinfo(found);
    return true;
}

bool SetTimeoutOption(NativeSocket s, int option, std::chrono::milliseconds timeout) {
#ifdef _WIN32
    const DWORD ms = static_cast<DWORD>(timeout.count());
    return setsockopt(s, SOL_SOCKET, option, reinterpret_cast<const char*>(&ms), sizeof ms) == 0;
#else
    timeval tv{};
    tv.tv_sec = static_cast<time_t>(timeout.count() / 1000);
    tv.tv_usec = static_cast<suseconds_t>((timeout.count() % 1000) * 1000);
    return setsockopt(s, SOL_SOCKET, option, &tv, sizeof tv) == 0;
#endif
}

std::mutex gStartMutex;
int gStartState = kSockErrSystemNotReady;

} // namespace

bool StartSockets([[maybe_unused]] int major, [[maybe_unused]] int minor) {
    std::lock_guard lock(gStartMutex);
    if (gStartState == 0) {
        return true;
    }
#ifdef _WIN32
    const WORD requested = MAKEWORD(major, minor);
    WSADATA data{};
    if (WSAStartup(requested, &data) == 0) {
        if (data.wVersion == requested) {
            gStartState = 0;
            return true;
        }
        WSACleanup();
    }
    gStartState = kSockErrSystemNotReady;
    return false;
#else
    gStartState = 0;
    return true;
#endif
}

CWinSocket::~CWinSocket() {
    Close();
}

bool CWinSocket::Fail(int code) {
    error_ = code;
    return false;
}

bool CWinSocket::FailWithLastError() {
    return Fail(LastSocketError());
}

bool CWinSocket::FailAndClose(int code) {
    Close();
    return Fail(code);
}

bool CWinSocket::OpenUnbound(SocketType type) {
    Close();
    int nativeType = type == SocketType::Stream ? SOCK_STREAM : SOCK_DGRAM;
#ifdef SOCK_CLOEXEC
    nativeType |= SOCK_CLOEXEC;
#endif
    const NativeSocket s = socket(AF_INET, nativeType, 0);
    if (!IsValidNative(s)) {
        return FailWithLastError();
    }
    handle_ = Handle(s);
    PreventSigPipe(s);
    return true;
}

bool CWinSocket::Create(int localPort, SocketType type, const char* localAddress,
                        bool reuseAddress) {
    if (!OpenUnbound(type)) {
        return false;
    }
    const NativeSocket s = Native(handle_);
    if (reuseAddress) {
        int one = 1;
        if (setsockopt(s, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&one),
                       sizeof one) != 0) {
            return FailAndClose(LastSocketError());
        }
    }
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    if (localAddress != nullptr && *localAddress != '\0' &&
        !ParseDottedAddress(localAddress, &local.sin_addr)) {
        return FailAndClose(kSockErrInvalidArgument);
    }
    if (localPort < 0 || localPort > 65535) {
        return FailAndClose(kSockErrInvalidArgument);
    }
    local.sin_port = htons(static_cast<std::uint16_t>(localPort));
    if (bind(s, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        return FailAndClose(LastSocketError());
    }
    return true;
}

bool CWinSocket::Accept(CWinSocket& connected, PeerAddress* peer) {
    if (peer != nullptr) {
        *peer = PeerAddress{};
    }
    sockaddr_in from{};
    AddressLength length = sizeof from;
    const NativeSocket s = Retrying(
        [&] { return accept(Native(handle_), reinterpret_cast<sockaddr*>(&from), &length); });
    if (!IsValidNative(s)) {
        return FailWithLastError();
    }
    PreventSigPipe(s);
    connected.Close();
    connected.handle_ = Handle(s);
    connected.bytesReceived_ = 0;
    connected.error_ = 0;
    if (peer != nullptr) {
        char text[INET_ADDRSTRLEN] = {};
        inet_ntop(AF_INET, &from.sin_addr, text, sizeof text);
        peer->address = text;
        peer->port = ntohs(from.sin_port);
    }
    return true;
}

void CWinSocket::Close() {
    if (IsOpen()) {
        CloseNative(Native(handle_));
        handle_ = kInvalidSocket;
    }
}

bool CWinSocket::Receive(void* buffer, int length, int flags) {
    return Receive(buffer, length, nullptr, flags);
}

bool CWinSocket::Receive(void* buffer, int length, int* received, int flags) {
    if (received != nullptr) {
        *received = 0;
    }
    if (length < 0) {
        return Fail(kSockErrInvalidArgument);
    }
    if (length == 0) {
        return true;
    }
    if (!IsOpen()) {
        return Fail(10038); // WSAENOTSOCK
    }
    char* bytes = static_cast<char*>(buffer);
    int total = 0;
    bool complete = true;
    while (total < length) {
        if (watchedRun_ != nullptr &&
            !WaitWhileRunning(receiveTimeout_, [this](auto slice) { return WaitUntilReadable(slice); })) {
            complete = false;
            break;
        }
        const auto n =
            Retrying([&] { return recv(Native(handle_), bytes + total, length - total, flags); });
        if (n == 0) {
            complete = Fail(kSockErrConnectionAborted);
            break;
        }
        if (n < 0) {
            complete = FailWithLastError();
            break;
        }
        total += static_cast<int>(n);
    }
    bytesReceived_ += total;
    if (received != nullptr) {
        *received = total;
    }
    return complete;
}

bool CWinSocket::Send(const void* buffer, int length, int flags) {
    if (length < 0) {
        return Fail(kSockErrInvalidArgument);
    }
    if (!IsOpen()) {
        return Fail(10038); // WSAENOTSOCK
    }
    // A blocking send hands over everything unless its time-out expires; the
    // loop only continues a send that a signal cut short.
    const char* bytes = static_cast<const char*>(buffer);
    int total = 0;
    while (total < length) {
        const auto n = Retrying([&] {
            return send(Native(handle_), bytes + total, length - total, flags | kSendFlags);
        });
        if (n <= 0) {
            return n == 0 ? Fail(kSockErrTimedOut) : FailWithLastError();
        }
        total += static_cast<int>(n);
    }
    return true;
}

bool CWinSocket::Connect(const char* host) {
    bytesReceived_ = 0;
    error_ = 0;
    // Not bound first: the connect picks the local port itself, and unlike a
    // bind to port 0 it may reuse ports that earlier connections left in
    // TIME_WAIT, which many short requests in a row would otherwise use up.
    if (!OpenUnbound(SocketType::Stream)) {
        return false;
    }
    sockaddr_in server{};
    server.sin_family = AF_INET;
    if (!ResolveHost(host, &server.sin_addr)) {
        return FailAndClose(kSockErrInvalidArgument);
    }
    const int port = GetServerEndpoint().port;
    if (port <= 0 || port > 65535) {
        return FailAndClose(kSockErrInvalidArgument);
    }
    server.sin_port = htons(static_cast<std::uint16_t>(port));
    if (!ConnectWithin(&server, RequestTimeout())) {
        return FailAndClose(error_);
    }
    return true;
}

bool CWinSocket::ConnectWithin(const void* address, std::chrono::milliseconds timeout) {
    // A blocking connect would wait as long as the system likes (minutes on
    // some); connecting without blocking bounds it by the request time-out.
    if (!SetBlocking(false)) {
        return false;
    }
    const int result =
        connect(Native(handle_), static_cast<const sockaddr*>(address), sizeof(sockaddr_in));
    if (result != 0) {
        const int code = LastSocketError();
        if (!IsConnectPending(code)) {
            return Fail(code);
        }
        if (!WaitWhileRunning(timeout, [this](auto slice) { return WaitUntilConnected(slice); })) {
            return false;
        }
    }
    return SetBlocking(true);
}

template <typename Wait>
bool CWinSocket::WaitWhileRunning(std::chrono::milliseconds timeout, Wait wait) {
    if (watchedRun_ == nullptr) {
        return wait(timeout);
    }
    using Clock = std::chrono::steady_clock;
    const bool bounded = timeout.count() > 0;
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        if (watchedRun_->load() == 0) {
            return Fail(kSockErrInterrupted);
        }
        auto slice = kRunFlagPollInterval;
        if (bounded) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0) {
                return Fail(kSockErrTimedOut);
            }
            slice = std::min(slice, left);
        }
        if (wait(slice)) {
            return true;
        }
        if (error_ != kSockErrTimedOut) {
            return false;
        }
    }
}

bool CWinSocket::WaitUntilConnected(std::chrono::milliseconds timeout) {
    const NativeSocket s = Native(handle_);
#ifdef _WIN32
    fd_set writable;
    fd_set failed;
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    FD_SET(s, &writable);
    FD_SET(s, &failed);
    timeval tv{};
    tv.tv_sec = static_cast<long>(timeout.count() / 1000);
    tv.tv_usec = static_cast<long>((timeout.count() % 1000) * 1000);
    const int ready = select(0, nullptr, &writable, &failed, &tv);
#else
    pollfd entry{s, POLLOUT, 0};
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    int ready;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        ready = poll(&entry, 1, left.count() > 0 ? static_cast<int>(left.count()) : 0);
        if (ready >= 0 || errno != EINTR) {
            break;
        }
    }
#endif
    if (ready < 0) {
        return FailWithLastError();
    }
    if (ready == 0) {
        return Fail(kSockErrTimedOut);
    }
    int pending = 0;
    AddressLength size = sizeof pending;
    if (getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&pending), &size) != 0) {
        return FailWithLastError();
    }
    if (pending != 0) {
#ifdef _WIN32
        return Fail(pending);
#else
        return Fail(SocketErrorFromErrno(pending));
#endif
    }
    return true;
}

bool CWinSocket::Listen(int backlog) {
    if (listen(Native(handle_), backlog) != 0) {
        return FailWithLastError();
    }
    return true;
}

bool CWinSocket::WaitUntilReadable(std::chrono::milliseconds timeout) {
    if (!IsOpen()) {
        return Fail(10038); // WSAENOTSOCK
    }
    const NativeSocket s = Native(handle_);
#ifdef _WIN32
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(s, &readable);
    timeval tv{};
    tv.tv_sec = static_cast<long>(timeout.count() / 1000);
    tv.tv_usec = static_cast<long>((timeout.count() % 1000) * 1000);
    const int ready = select(0, &readable, nullptr, nullptr, &tv);
#else
    pollfd entry{s, POLLIN, 0};
    const int ready = Retrying([&] { return poll(&entry, 1, static_cast<int>(timeout.count())); });
#endif
    if (ready < 0) {
        return FailWithLastError();
    }
    if (ready == 0) {
        return Fail(kSockErrTimedOut);
    }
    return true;
}

bool CWinSocket::ShutdownSend() {
#ifdef _WIN32
    constexpr int kSendDirection = SD_SEND;
#else
    constexpr int kSendDirection = SHUT_WR;
#endif
    if (!IsOpen()) {
        return Fail(10038); // WSAENOTSOCK
    }
    if (shutdown(Native(handle_), kSendDirection) != 0) {
        return FailWithLastError();
    }
    return true;
}

bool CWinSocket::SetBlocking(bool blocking) {
#ifdef _WIN32
    u_long nonBlocking = blocking ? 0 : 1;
    if (ioctlsocket(Native(handle_), FIONBIO, &nonBlocking) != 0) {
        return FailWithLastError();
    }
#else
    const int flags = fcntl(Native(handle_), F_GETFL, 0);
    if (flags < 0) {
        return FailWithLastError();
    }
    const int wanted = blocking ? (flags & ~O_NONBLOCK) : (flags | O_NONBLOCK);
    if (fcntl(Native(handle_), F_SETFL, wanted) != 0) {
        return FailWithLastError();
    }
#endif
    return true;
}

bool CWinSocket::SetNoDelay(bool noDelay) {
    const int value = noDelay ? 1 : 0;
    if (setsockopt(Native(handle_), IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&value),
                   sizeof value) != 0) {
        return FailWithLastError();
    }
    return true;
}

bool CWinSocket::SetReceiveTimeout(std::chrono::milliseconds timeout) {
    receiveTimeout_ = timeout;
    return SetTimeoutOption(Native(handle_), SO_RCVTIMEO, timeout) || FailWithLastError();
}

bool CWinSocket::SetSendTimeout(std::chrono::milliseconds timeout) {
    return SetTimeoutOption(Native(handle_), SO_SNDTIMEO, timeout) || FailWithLastError();
}

int CWinSocket::LocalPort() const {
    if (!IsOpen()) {
        return 0;
    }
    sockaddr_in local{};
    AddressLength length = sizeof local;
    if (getsockname(Native(handle_), reinterpret_cast<sockaddr*>(&local), &length) != 0) {
        return 0;
    }
    return ntohs(local.sin_port);
}

} // namespace mvr
