// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace lantrivex {

// A table of text items under text keys, kept in insertion order. Keys compare without regard to
// letter case (the letters of Windows-1252, foldLetterCase); an entry keeps the spelling of the key
// it was added with. Adding a key that is present fails and leaves the table as it was; looking up
// an absent key gives nothing.
class KeyedCollection {
public:
    struct Entry {
        std::string key;
        std::string item;
    };

    // False (the duplicate-key error) when the key, in any letter case, is already present.
    bool add(std::string_view key, std::string_view item);

    // The item under `key`, or nullptr.
    const std::string* find(std::string_view key) const;

    // The item under `key`, or "" when absent: what every caller of the program makes of a miss.
    std::string_view value(std::string_view key) const;

    bool contains(std::string_view key) const { return find(key) != nullptr; }
    bool remove(std::string_view key);
    void clear();

    std::size_t size() const noexcept { return entries_.size(); }
    bool empty() const noexcept { return entries_.empty(); }
    const std::vector<Entry>& entries() const noexcept { return entries_; }

private:
    std::vector<Entry> entries_;
    // Looked up by a folded key as a string_view, so that a lookup makes no string. Not
    // noexcept, as std::hash<std::string> is not: the table then keeps each key's hash.
    struct KeyHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view key) const {
            return std::hash<std::string_view>{}(key);
        }
    };
    // folded key -> position in entries_
    std::unordered_map<std::string, std::size_t, KeyHash, std::equal_to<>> index_;
};

} // namespace lantrivex
