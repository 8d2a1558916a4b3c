#include "core/net/RequestWorker.h"

#include "core/platform/ThreadName.h"

#include <cstdio>
#include <exception>

namespace mvr {

CRequestWorker::~CRequestWorker() {
    Stop();
    Wait();
}

bool CRequestWorker::Start(const std::string& threadName, Work work) {
    if (running_.exchange(true)) {
        return false;
    }
    Wait(); // the thread of earlier work that has ended
    run_.store(1);
    thread_ = std::thread([this, threadName, work = std::move(work)] {
        SetCurrentThreadName(threadName);
        try {
            work(run_);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s: %s\n", threadName.c_str(), e.what());
        } catch (...) {
            std::fprintf(stderr, "%s: unknown failure\n", threadName.c_str());
        }
        running_.store(false);
    });
    return true;
}

void CRequestWorker::Wait() {
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) {
        thread_.join();
    }
}

} // namespace mvr
