#include "ScriptedPeer.h"

#include "core/net/ServerEndpoint.h"

#include <chrono>
#include <stdexcept>
#include <utility>

namespace mvr::test {

namespace {

// Only a guard against a broken test hanging the suite; no test waits for it.
constexpr std::chrono::seconds kWatchdog{20};

} // namespace

ScriptedPeer::ScriptedPeer(Script script) {
    if (!StartSockets(2, 2) || !listener_.Create(0, SocketType::Stream, "127.0.0.1", false) ||
        !listener_.Listen(4) || !listener_.SetReceiveTimeout(kWatchdog)) {
        throw std::runtime_error("scripted peer: cannot listen on 127.0.0.1");
    }
    port_ = listener_.LocalPort();
    thread_ = std::thread([this, script = std::move(script)] { Run(script); });
}

ScriptedPeer::~ScriptedPeer() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

void ScriptedPeer::BecomeServer() const {
    endpoint_.emplace(ServerEndpoint{"127.0.0.1", port_});
}

void ScriptedPeer::Run(const Script& script) {
    try {
        CWinSocket connection;
        if (!listener_.Accept(connection)) {
            throw std::runtime_error("scripted peer: no connection arrived");
        }
        connection.SetReceiveTimeout(kWatchdog);
        connection.SetSendTimeout(kWatchdog);
        CClientRequest peer(connection, run_);
        script(peer, connection);
    } catch (...) {
        failure_ = std::current_exception();
    }
}

void ScriptedPeer::Join() {
    if (thread_.joinable()) {
        thread_.join();
    }
    if (failure_) {
        std::rethrow_exception(std::exchange(failure_, nullptr));
    }
}

void ScriptedPeer::WaitForClose(CWinSocket& connection) {
    std::uint8_t byte;
    while (connection.Receive(&byte, 1)) {
    }
}

} // namespace mvr::test
