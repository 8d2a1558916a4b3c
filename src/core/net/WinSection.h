#pragma once

// A critical section: a lock that the thread holding it may enter again, as
// the catalogue download does when it writes the group map whose section it
// already holds for the whole download.

#include <mutex>

namespace mvr {

class CWinSection {
public:
    CWinSection() = default;
    virtual ~CWinSection() = default;
    CWinSection(const CWinSection&) = delete;
    CWinSection& operator=(const CWinSection&) = delete;

    void Enter() { mutex_.lock(); }
    void Leave() { mutex_.unlock(); }

    // For std::lock_guard and std::unique_lock.
    void lock() { Enter(); }
    void unlock() { Leave(); }

private:
    std::recursive_mutex mutex_;
};

// Holds a section for the lifetime of the object.
using CSectionLock = std::lock_guard<CWinSection>;

} // namespace mvr
