#pragma once
// A map from text to values that keeps only the most recently used entries: the connection's
// translations and prepared statements. Not thread-safe: one per connection.

#include <cstddef>
#include <list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace db {

template <typename Value>
class LruMap {
public:
    explicit LruMap(std::size_t capacity) : capacity_(capacity) {}
    LruMap(const LruMap&) = delete;
    LruMap& operator=(const LruMap&) = delete;

    // The value stored under `key`, now the most recently used; nullptr when there is none.
    Value* find(std::string_view key) {
        auto it = index_.find(key);
        if (it == index_.end()) return nullptr;
        entries_.splice(entries_.begin(), entries_, it->second);
        return &it->second->second;
    }

    // Stores `value` under `key` (replacing one stored before), dropping the least recently
    // used entry when the map is full.
    Value& put(std::string key, Value value) {
        if (auto it = index_.find(key); it != index_.end()) {
            entries_.erase(it->second);
            index_.erase(it);
        }
        entries_.emplace_front(std::move(key), std::move(value));
        index_.emplace(entries_.front().first, entries_.begin());
        if (entries_.size() > capacity_) {
            index_.erase(entries_.back().first);
            entries_.pop_back();
        }
        return entries_.front().second;
    }

    void clear() {
        index_.clear();
        entries_.clear();
    }
    std::size_t size() const { return entries_.size(); }

private:
    using Entries = std::list<std::pair<std::string, Value>>;
    std::size_t capacity_;
    Entries entries_;   // most recently used first
    std::unordered_map<std::string_view, typename Entries::iterator> index_;   // views of the keys in entries_
};

}  // namespace db
