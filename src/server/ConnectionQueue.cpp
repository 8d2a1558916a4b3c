#include "server/ConnectionQueue.h"

namespace mvr {

bool CConnectionQueue::WaitForRoom(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return closed_ || queue_.size() < capacity_; }) &&
           !closed_;
}

bool CConnectionQueue::Push(AcceptedConnection connection) {
    {
        std::lock_guard lock(mutex_);
        if (closed_) {
            return false;
        }
        queue_.push_back(std::move(connection));
    }
    changed_.notify_all();
    return true;
}

bool CConnectionQueue::Pop(AcceptedConnection& connection) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return closed_ || !queue_.empty(); });
    if (queue_.empty()) {
        return false;
    }
    connection = std::move(queue_.front());
    queue_.pop_front();
    lock.unlock();
    changed_.notify_all();
    return true;
}

void CConnectionQueue::Close() {
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
    }
    changed_.notify_all();
}

} // namespace mvr
