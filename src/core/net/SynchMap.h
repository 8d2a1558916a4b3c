#pragma once

// A hash map guarded by a section of its own: every operation enters it, so
// that lookups never see a map being rewritten. A writer that must keep the
// map consistent across several operations holds Section() around them.

#include "core/net/WinSection.h"

#include <cstddef>
#include <unordered_map>

namespace mvr {

template <typename Key, typename Value>
class CSynchMap {
public:
    CWinSection& Section() const { return section_; }

    // Copies the entry out; false when the key is missing.
    bool Lookup(const Key& key, Value& value) const {
        CSectionLock lock(section_);
        const auto it = map_.find(key);
        if (it == map_.end()) {
            return false;
        }
        value = it->second;
        return true;
    }

    // Adds the entry or replaces the one of the same key.
    void SetAt(const Key& key, const Value& value) {
        CSectionLock lock(section_);
        map_[key] = value;
    }

    void RemoveAll() {
        CSectionLock lock(section_);
        map_.clear();
    }

    bool IsEmpty() const {
        CSectionLock lock(section_);
        return map_.empty();
    }

    std::size_t Count() const {
        CSectionLock lock(section_);
        return map_.size();
    }

private:
    mutable CWinSection section_;
    std::unordered_map<Key, Value> map_;
};

} // namespace mvr
