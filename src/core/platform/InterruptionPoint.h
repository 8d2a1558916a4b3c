#pragma once

// A test seam of the whole process: a place in a writer where a kill leaves a
// state of its own. Production code asks the point whether it may go on; a
// test puts a hook in place that says no there, as a kill at that moment
// would, or that kills the process itself.

#include <functional>
#include <memory>
#include <mutex>
#include <utility>

namespace mvr {

template <typename... Args>
class CInterruptionPoint {
public:
    using Hook = std::function<bool(Args...)>;

    // True unless the hook in place says to stop. The hook runs outside the
    // lock: it may write files of its own, and a test scope that ends
    // meanwhile leaves the call in progress its copy.
    bool MayContinue(Args... args) const {
        std::shared_ptr<const Hook> hook;
        {
            std::lock_guard lock(mutex_);
            hook = hook_;
        }
        return !hook || !*hook || (*hook)(args...);
    }

    // Puts `hook` (null for none) in place; the one it replaces, for the
    // scope that ends to put back, so that scopes nest.
    std::shared_ptr<const Hook> Exchange(std::shared_ptr<const Hook> hook) {
        std::lock_guard lock(mutex_);
        return std::exchange(hook_, std::move(hook));
    }

private:
    mutable std::mutex mutex_;
    std::shared_ptr<const Hook> hook_;
};

// Puts a hook in place at a point while it lives, then the one it found, so
// that scopes nest. Each writer names its own scope after this one.
template <typename... Args>
class CInterruptionScope {
public:
    using Hook = typename CInterruptionPoint<Args...>::Hook;

    CInterruptionScope(CInterruptionPoint<Args...>& point, Hook hook)
        : point_(point), previous_(point.Exchange(std::make_shared<const Hook>(std::move(hook)))) {}
    ~CInterruptionScope() { point_.Exchange(std::move(previous_)); }
    CInterruptionScope(const CInterruptionScope&) = delete;
    CInterruptionScope& operator=(const CInterruptionScope&) = delete;

private:
    CInterruptionPoint<Args...>& point_;
    std::shared_ptr<const Hook> previous_;
};

} // namespace mvr
