#pragma once

// The reference price server for loopback tests: the tables written into a
// temporary data folder, served in-process on 127.0.0.1 at an ephemeral port,
// with the log lines kept for the test to look at. It also lowers the
// client's request time-out and resets the client's process-wide state, and
// puts both back, and the server endpoint it replaced, when it goes away.

#include "core/net/RequestTimeout.h"
#include "core/net/ServerEndpoint.h"
#include "server/PriceServer.h"
#include "server/RequestLog.h"
#include "server/ServeOptions.h"
#include "server/ServerData.h"
#include "SmallDataFolder.h"
#include "support/TempDir.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mvr::test {

// Long enough for a loaded test machine, short enough that a test of a
// silent server ends quickly.
inline constexpr std::chrono::milliseconds kLoweredClientTimeout{2000};

ServeOptions TestServeOptions();

// How many of the lines contain `text`. Connections end on threads of their
// own, so lines of requests made one after another need not keep that order.
std::size_t CountLines(const std::vector<std::string>& lines, std::string_view text);

// Registers further handlers before the server starts.
using AddHandlers = std::function<void(CRequestDispatcher&)>;

class TestPriceServer {
public:
    explicit TestPriceServer(const ServerTables& tables = SmallTables(),
                             ServeOptions options = TestServeOptions(),
                             const AddHandlers& addHandlers = {});
    // Serves an existing data folder (a demo, say).
    TestPriceServer(const std::string& folder, ServeOptions options);
    ~TestPriceServer();
    TestPriceServer(const TestPriceServer&) = delete;
    TestPriceServer& operator=(const TestPriceServer&) = delete;

    int Port() const { return server_->Port(); }
    const CServerData& Data() const { return *data_; }
    // Points the client's server endpoint at this server until it goes away.
    void BecomeServer() const;

    // Waits (up to a generous bound that only a broken test reaches) until
    // `count` requests have been logged, and returns the lines.
    std::vector<std::string> WaitForLogLines(std::size_t count);

private:
    void Start(const std::string& folder, ServeOptions options, const AddHandlers& addHandlers);

    std::optional<CScopedRequestTimeout> timeout_;
    mutable std::optional<CScopedServerEndpoint> endpoint_;
    TempDir dir_;
    std::unique_ptr<CServerData> data_;
    std::mutex mutex_;
    std::condition_variable logged_;
    std::vector<std::string> lines_;
    std::unique_ptr<CRequestLog> log_;
    std::unique_ptr<CPriceServer> server_;
};

} // namespace mvr::test
