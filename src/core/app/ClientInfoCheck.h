#pragma once

// The check of the client information that the main window starts at its
// initialisation and every account dialog at its opening: after a short
// pause, request 43 on a worker thread "GetClientInfoThread". An answer is
// kept for the process (StoreClientInfo) before it is handed on.

#include "core/net/ClientInfo.h"
#include "core/net/RequestWorker.h"

#include <chrono>
#include <functional>

namespace mvr {

inline constexpr const char* kClientInfoThreadName = "GetClientInfoThread";

class CClientInfoCheck {
public:
    // Called on the worker thread with GetClientInfo's result (negative: no
    // connection) and what arrived; a view queues it into its own thread.
    using Done = std::function<void(int result, const ClientInfo& info)>;

    // The pause gives the window time to show before the request goes out.
    explicit CClientInfoCheck(std::chrono::milliseconds pause = std::chrono::milliseconds(100))
        : pause_(pause) {}

    // False while a check runs.
    bool Start(Done done);
    // A stopped check reports nothing.
    void Stop() { worker_.Stop(); }
    void Wait() { worker_.Wait(); }
    bool IsRunning() const { return worker_.IsRunning(); }

private:
    std::chrono::milliseconds pause_;
    CRequestWorker worker_;
};

} // namespace mvr
