#pragma once

// The far end of a price history request over loopback: listens on
// 127.0.0.1 at an ephemeral port, takes one connection on its own thread,
// gives the go-ahead and answers request 4 or 7 with the server's handlers
// (or with a script of the test's own).
// The answer can be cut after a number of bytes, as a connection that breaks.

#include "core/net/ClientRequest.h"
#include "core/net/RequestHeader.h"
#include "core/net/RunFlag.h"
#include "core/net/ServerEndpoint.h"
#include "core/net/WinSocket.h"
#include "server/ServerData.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <thread>

namespace mvr::test {

class CChartTestServer {
public:
    static constexpr std::size_t kWholeAnswer = std::numeric_limits<std::size_t>::max();
    // Reads the body and writes the answer after the go-ahead.
    using Answer = std::function<void(CClientRequest& peer, const RequestHeader& header)>;

    // Answers with the server's handlers for requests 4 and 7.
    CChartTestServer(const CServerData& data, std::int32_t today,
                     std::size_t cutAfter = kWholeAnswer);
    explicit CChartTestServer(Answer answer, std::size_t cutAfter = kWholeAnswer);
    ~CChartTestServer();
    CChartTestServer(const CChartTestServer&) = delete;
    CChartTestServer& operator=(const CChartTestServer&) = delete;

    // Points the process-wide server endpoint at this server until it goes away.
    void BecomeServer() const;
    // Waits for the connection to end.
    void Join();

    const RequestHeader& Header() const { return header_; }
    // The handler's CIOException message, empty when it answered in full.
    const std::string& Failure() const { return failure_; }

private:
    void Serve();

    mutable std::optional<CScopedServerEndpoint> endpoint_;
    Answer answer_;
    std::size_t cutAfter_ = kWholeAnswer;
    CWinSocket listener_;
    int port_ = 0;
    RunFlag run_{1};
    RequestHeader header_;
    std::string failure_;
    std::thread thread_;
};

} // namespace mvr::test
