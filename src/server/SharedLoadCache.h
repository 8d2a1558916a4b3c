#pragma once

// A bounded cache of values that are expensive to load and shared by many
// threads. Each key is loaded by one thread at a time: threads that ask for a
// key while it is being loaded wait for that load instead of starting their
// own. Values are handed out as shared pointers, so a value evicted while a
// thread still uses it stays alive for that thread. The least recently used
// values are evicted once their sizes add up to more than the capacity; a
// single value larger than the whole capacity is handed out but not kept.

#include <cstddef>
#include <cstdint>
#include <future>
#include <list>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace mvr {

struct CacheStatistics {
    std::uint64_t loads = 0; // values loaded
    std::uint64_t hits = 0;  // requests answered from the cache
    std::uint64_t joins = 0; // requests that waited for another thread's load
    std::size_t entries = 0; // values kept now
    std::size_t bytes = 0;   // their sizes
};

template <class Key, class Value>
class CSharedLoadCache {
public:
    using Pointer = std::shared_ptr<const Value>;

    // What a load gives: the value, its size, and whether it may be kept
    // (a failed load is not kept, so that the next request tries again).
    struct Loaded {
        Pointer value;
        std::size_t bytes = 0;
        bool keep = true;
    };

    explicit CSharedLoadCache(std::size_t capacityBytes) : capacity_(capacityBytes) {}
    CSharedLoadCache(const CSharedLoadCache&) = delete;
    CSharedLoadCache& operator=(const CSharedLoadCache&) = delete;

    // The value of `key`, from the cache or from `load()` (which returns Loaded).
    template <class Load>
    Pointer Get(const Key& key, Load&& load) {
        std::unique_lock lock(mutex_);
        if (const auto it = entries_.find(key); it != entries_.end()) {
            Entry& entry = it->second;
            if (entry.ready) {
                ++statistics_.hits;
                recency_.splice(recency_.begin(), recency_, entry.recency);
                return entry.value;
            }
            ++statistics_.joins;
            std::shared_future<Pointer> pending = entry.pending;
            lock.unlock();
            return pending.get();
        }
        std::promise<Pointer> promise;
        Entry pending;
        pending.pending = promise.get_future().share();
        entries_.emplace(key, std::move(pending));
        lock.unlock();

        Loaded loaded;
        try {
            loaded = load();
        } catch (...) {
            lock.lock();
            entries_.erase(key);
            promise.set_exception(std::current_exception());
            throw;
        }
        lock.lock();
        ++statistics_.loads;
        promise.set_value(loaded.value);
        if (loaded.keep && loaded.bytes <= capacity_) {
            Keep(key, loaded);
        } else {
            entries_.erase(key);
        }
        return loaded.value;
    }

    CacheStatistics Statistics() const {
        std::lock_guard lock(mutex_);
        CacheStatistics statistics = statistics_;
        statistics.entries = recency_.size();
        statistics.bytes = bytes_;
        return statistics;
    }

private:
    struct Entry {
        std::shared_future<Pointer> pending;
        bool ready = false;
        Pointer value;
        std::size_t bytes = 0;
        typename std::list<Key>::iterator recency;
    };

    // Called with the lock held.
    void Keep(const Key& key, const Loaded& loaded) {
        Entry& entry = entries_.at(key);
        entry.ready = true;
        entry.value = loaded.value;
        entry.bytes = loaded.bytes;
        entry.pending = {};
        recency_.push_front(key);
        entry.recency = recency_.begin();
        bytes_ += loaded.bytes;
        while (bytes_ > capacity_) {
            const auto oldest = entries_.find(recency_.back());
            bytes_ -= oldest->second.bytes;
            recency_.pop_back();
            entries_.erase(oldest);
        }
    }

    const std::size_t capacity_;
    mutable std::mutex mutex_;
    std::unordered_map<Key, Entry> entries_;
    std::list<Key> recency_; // ready keys, most recently used first
    std::size_t bytes_ = 0;
    CacheStatistics statistics_;
};

} // namespace mvr
