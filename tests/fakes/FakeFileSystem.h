// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/FileSystem.h"

#include <map>
#include <set>
#include <vector>

namespace lantrivex::fakes {

struct FakeFileSystem : platform::FileSystem {
    std::map<std::string, std::string> files;
    std::set<std::string> unreadable;
    std::optional<std::string> replaceFailure; // set: every replaceFile fails with this reason
    std::vector<std::string> replaced;         // the path of every replaceFile call, in order

    void putFile(const std::string& path, std::string bytes) {
        files[path] = std::move(bytes);
        unreadable.erase(path);
    }
    void putUnreadable(const std::string& path, std::string bytes = {}) {
        files[path] = std::move(bytes);
        unreadable.insert(path);
    }
    void removeFile(const std::string& path) {
        files.erase(path);
        unreadable.erase(path);
    }
    std::optional<std::string> contents(const std::string& path) const {
        return files.count(path) != 0 ? std::optional(files.at(path)) : std::nullopt;
    }
    bool fileExists(std::string_view path) override { return files.count(std::string(path)) != 0; }
    std::optional<std::string> readFile(std::string_view path) override {
        return unreadable.count(std::string(path)) ? std::nullopt : contents(std::string(path));
    }
    bool replaceFile(std::string_view path, std::string_view bytes, std::string& error) override {
        replaced.emplace_back(path);
        if (!replaceFailure) {
            putFile(std::string(path), std::string(bytes));
        }
        error = replaceFailure.value_or(error);
        return !replaceFailure;
    }
};

} // namespace lantrivex::fakes
