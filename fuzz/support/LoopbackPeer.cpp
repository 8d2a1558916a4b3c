#include "LoopbackPeer.h"

#include "core/net/ServerEndpoint.h"
#include "core/net/WinSocket.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace mvr::fuzz {

namespace {

// Far beyond any run; a client that never connects is a fault of the
// target, not something to wait for forever.
constexpr std::chrono::seconds kConnectionWatchdog{20};

class CLoopbackPeer {
public:
    CLoopbackPeer() {
        if (!StartSockets(1, 1) || !listener_.Create(0, SocketType::Stream, "127.0.0.1", true) ||
            !listener_.Listen(8)) {
            std::fprintf(stderr, "loopback peer: cannot listen on 127.0.0.1\n");
            std::abort();
        }
        SetServerEndpoint({"127.0.0.1", listener_.LocalPort()});
        // Detached: it waits in accept for the life of the process.
        std::thread([this] { Run(); }).detach();
    }

    std::vector<std::uint8_t> Serve(std::span<const std::uint8_t> answer,
                                    const std::function<void()>& client) {
        {
            std::lock_guard lock(mutex_);
            answer_.assign(answer.begin(), answer.end());
            served_ = false;
        }
        client();
        std::unique_lock lock(mutex_);
        if (!done_.wait_for(lock, kConnectionWatchdog, [this] { return served_; })) {
            std::fprintf(stderr, "loopback peer: the client did not connect and close\n");
            std::abort();
        }
        return std::move(sent_);
    }

private:
    void Run() {
        for (;;) {
            CWinSocket connection;
            if (!listener_.Accept(connection)) {
                continue;
            }
            std::vector<std::uint8_t> answer;
            {
                std::lock_guard lock(mutex_);
                answer = answer_;
            }
            connection.SetReceiveTimeout(kConnectionWatchdog);
            connection.SetSendTimeout(kConnectionWatchdog);
            // A client that stops reading early closes with bytes unread;
            // the failed send is then simply the end of this answer.
            if (!answer.empty()) {
                connection.Send(answer.data(), static_cast<int>(answer.size()));
            }
            connection.ShutdownSend();
            std::vector<std::uint8_t> sent;
            std::uint8_t buffer[4096];
            int received = 0;
            for (bool more = true; more;) {
                more = connection.Receive(buffer, sizeof buffer, &received);
                sent.insert(sent.end(), buffer, buffer + received);
            }
            connection.Close();
            std::lock_guard lock(mutex_);
            sent_ = std::move(sent);
            served_ = true;
            done_.notify_all();
        }
    }

    CWinSocket listener_;
    std::mutex mutex_;
    std::condition_variable done_;
    std::vector<std::uint8_t> answer_;
    std::vector<std::uint8_t> sent_;
    bool served_ = false;
};

CLoopbackPeer& Peer() {
    // Never destroyed: its thread outlives every static destructor.
    static CLoopbackPeer* peer = new CLoopbackPeer;
    return *peer;
}

} // namespace

std::vector<std::uint8_t> ServeOneConnection(std::span<const std::uint8_t> answer,
                                             const std::function<void()>& client) {
    return Peer().Serve(answer, client);
}

} // namespace mvr::fuzz
