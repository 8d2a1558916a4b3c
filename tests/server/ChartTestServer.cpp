#include "ChartTestServer.h"

#include "core/net/ClientRequest.h"
#include "core/net/IOException.h"
#include "core/net/ServerEndpoint.h"
#include "core/net/SocketError.h"
#include "core/update/ChartRequestBody.h"
#include "server/ChartAnswers.h"

#include <algorithm>
#include <chrono>
#include <stdexcept>

namespace mvr::test {

namespace {

// Only a guard against a broken test hanging the suite; no test waits for it.
constexpr std::chrono::seconds kWatchdog{20};

// A connection whose sends stop after a number of bytes, as if it broke.
class CCuttingSocket : public CWinSocket {
public:
    void CutAfter(std::size_t bytes) { remaining_ = bytes; }

    bool Send(const void* buffer, int length, int flags = 0) override {
        const std::size_t wanted = static_cast<std::size_t>(length);
        const std::size_t allowed = std::min(wanted, remaining_);
        if (allowed > 0 && !CWinSocket::Send(buffer, static_cast<int>(allowed), flags)) {
            return false;
        }
        remaining_ -= allowed;
        if (allowed < wanted) {
            SetError(kSockErrConnectionAborted);
            return false;
        }
        return true;
    }

private:
    std::size_t remaining_ = CChartTestServer::kWholeAnswer;
};

} // namespace

CChartTestServer::CChartTestServer(const CServerData& data, std::int32_t today,
                                   std::size_t cutAfter)
    : CChartTestServer(
          [&data, today](CClientRequest& peer, const RequestHeader& header) {
              const ChartAnswerContext context{data, header.parameter, today};
              if (header.code == kDailyBarsRequestCode) {
                  AnswerDailyBars(peer, context);
              } else if (header.code == kIntradayBarsRequestCode) {
                  AnswerIntradayBars(peer, context);
              } else {
                  throw CIOException("unexpected request code");
              }
          },
          cutAfter) {}

CChartTestServer::CChartTestServer(Answer answer, std::size_t cutAfter)
    : answer_(std::move(answer)), cutAfter_(cutAfter) {
    if (!listener_.Create(0, SocketType::Stream, "127.0.0.1", false) || !listener_.Listen(4) ||
        !listener_.SetReceiveTimeout(kWatchdog)) {
        throw std::runtime_error("chart test server: cannot listen on 127.0.0.1");
    }
    port_ = listener_.LocalPort();
    thread_ = std::thread([this] { Serve(); });
}

CChartTestServer::~CChartTestServer() {
    Join();
}

void CChartTestServer::BecomeServer() const {
    endpoint_.emplace(ServerEndpoint{"127.0.0.1", port_});
}

void CChartTestServer::Join() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

void CChartTestServer::Serve() {
    CCuttingSocket connection;
    if (!listener_.Accept(connection)) {
        failure_ = "no connection arrived";
        return;
    }
    connection.SetReceiveTimeout(kWatchdog);
    connection.SetSendTimeout(kWatchdog);
    try {
        CClientRequest peer(connection, run_);
        header_ = peer.readRequestHeader();
        peer.writeByte(1);
        connection.CutAfter(cutAfter_);
        answer_(peer, header_);
    } catch (const CIOException& e) {
        failure_ = e.Message();
    }
}

} // namespace mvr::test
