#pragma once

// The reference price server: listens on an address and port, accepts
// connections while a worker is free and serves each on a worker thread of a
// bounded pool, one request per connection. Stop() may be called from any
// thread or a signal handler; the server then accepts nothing more, lets the
// requests in progress finish (each bounded by its time-outs) and ends.
// Whatever one connection's work throws ends only that connection.

#include "server/ConnectionQueue.h"
#include "server/RequestDispatcher.h"
#include "server/RequestLog.h"
#include "server/ServeOptions.h"
#include "server/ServerData.h"

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace mvr {

class CPriceServer {
public:
    // Serves every request code this server knows; logs to `log`.
    CPriceServer(const CServerData& data, ServeOptions options, CRequestLog& log);
    // Stops and waits for the workers.
    ~CPriceServer();
    CPriceServer(const CPriceServer&) = delete;
    CPriceServer& operator=(const CPriceServer&) = delete;

    CRequestDispatcher& Dispatcher() { return dispatcher_; }

    // Binds and listens; false with a message when that fails.
    bool Listen(std::string* error);
    // The port listened on (the chosen one when the options said 0).
    int Port() const { return listener_.LocalPort(); }

    // Accepts and serves until Stop(); then waits for the requests in progress.
    // Returns at once unless Listen() succeeded.
    void Run();
    // Run() on a thread of its own, for tests and embedding.
    void Start();
    // Safe in a signal handler: only sets a flag that the listener polls.
    void Stop() { stopping_.store(true); }
    // After Start(): Stop() and wait until everything has ended.
    void StopAndWait();

private:
    void AcceptLoop();
    void AcceptOne();
    void WorkerLoop();

    ServeOptions options_;
    CRequestDispatcher dispatcher_;
    CWinSocket listener_;
    CConnectionQueue queue_;
    std::atomic<bool> stopping_{false};
    std::vector<std::thread> workers_;
    std::thread runner_;
};

// Registers the answers of the requests 63, 55, 43, 3, 11, 121, 131, 130, 4 and 7.
void RegisterStandardHandlers(CRequestDispatcher& dispatcher);

} // namespace mvr
