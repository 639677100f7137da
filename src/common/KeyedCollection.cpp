// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/KeyedCollection.h"

#include "common/LetterCase.h"

namespace lantrivex {
namespace {

// Calls `use` with `key` folded; keys as short as signatures are folded on the stack.
template <typename Use> auto withFoldedKey(std::string_view key, Use&& use) {
    constexpr std::size_t kOnStack = 64;
    if (key.size() <= kOnStack) {
        char buffer[kOnStack];
        return use(foldLetterCaseInto(key, buffer));
    }
    const std::string folded = foldLetterCase(key);
    return use(std::string_view(folded));
}

} // namespace

bool KeyedCollection::add(std::string_view key, std::string_view item) {
    auto [it, inserted] = index_.try_emplace(foldLetterCase(key), entries_.size());
    if (!inserted) {
        return false;
    }
    entries_.push_back(Entry{std::string(key), std::string(item)});
    return true;
}

const std::string* KeyedCollection::find(std::string_view key) const {
    return withFoldedKey(key, [this](std::string_view folded) -> const std::string* {
        const auto it = index_.find(folded);
        return it == index_.end() ? nullptr : &entries_[it->second].item;
    });
}

std::string_view KeyedCollection::value(std::string_view key) const {
    const std::string* item = find(key);
    return item ? std::string_view(*item) : std::string_view();
}

bool KeyedCollection::remove(std::string_view key) {
    const auto it = index_.find(foldLetterCase(key));
    if (it == index_.end()) {
        return false;
    }
    const std::size_t position = it->second;
    index_.erase(it);
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(position));
    for (auto& [folded, at] : index_) {
        if (at > position) {
            --at;
        }
    }
    return true;
}

void KeyedCollection::clear() {
    entries_.clear();
    index_.clear();
}

} // namespace lantrivex
