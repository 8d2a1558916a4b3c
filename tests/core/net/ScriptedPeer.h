#pragma once

// The far end of a loopback test: listens on 127.0.0.1 at an ephemeral port
// and runs a script on its own thread for the first connection, built on the
// same socket and block transfer classes as the server. Failures of the script
// are handed back by Join().

#include "core/net/ClientRequest.h"
#include "core/net/ServerEndpoint.h"
#include "core/net/WinSocket.h"

#include <exception>
#include <functional>
#include <optional>
#include <thread>

namespace mvr::test {

class ScriptedPeer {
public:
    using Script = std::function<void(CClientRequest& peer, CWinSocket& connection)>;

    explicit ScriptedPeer(Script script);
    ~ScriptedPeer();
    ScriptedPeer(const ScriptedPeer&) = delete;
    ScriptedPeer& operator=(const ScriptedPeer&) = delete;

    int Port() const { return port_; }
    // Points the process-wide server endpoint at this peer until it goes away.
    void BecomeServer() const;
    // Waits for the script to end and rethrows whatever it threw.
    void Join();

    // Lets the script wait until the client has closed its end.
    static void WaitForClose(CWinSocket& connection);

private:
    void Run(const Script& script);

    mutable std::optional<CScopedServerEndpoint> endpoint_;
    CWinSocket listener_;
    int port_ = 0;
    RunFlag run_{1};
    std::thread thread_;
    std::exception_ptr failure_;
};

} // namespace mvr::test
