#pragma once

// Server work on a thread of its own, with a thread name and a run flag that
// its owner (a dialog, the main window) clears to stop it; the owner then
// waits for the thread while its own event loop goes on. What the work
// throws ends the work, never the process.

#include "core/net/RunFlag.h"

#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace mvr {

class CRequestWorker {
public:
    using Work = std::function<void(const RunFlag&)>;

    CRequestWorker() = default;
    // Stops the work and waits for it.
    ~CRequestWorker();
    CRequestWorker(const CRequestWorker&) = delete;
    CRequestWorker& operator=(const CRequestWorker&) = delete;

    // Starts `work` on a thread named `threadName` with the run flag set;
    // false (and nothing started) while earlier work still runs.
    bool Start(const std::string& threadName, Work work);
    // Clears the run flag; the work's requests give up soon after. Safe
    // from any thread.
    void Stop() { run_.store(0); }
    // Waits until the work has ended. Not from the work itself.
    void Wait();
    bool IsRunning() const { return running_.load(); }

private:
    RunFlag run_{1};
    std::atomic<bool> running_{false};
    std::thread thread_;
};

} // namespace mvr
