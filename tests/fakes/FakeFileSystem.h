#pragma once

#include "platform/FileSystem.h"

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace lantrivex::fakes {

// In-memory files under exact path texts. A path can be made to exist but refuse reading, and
// replaceFile can be made to fail (the old content then stays).
class FakeFileSystem : public platform::FileSystem {
public:
    // Puts a readable file at `path` (replacing what was there).
    void putFile(const std::string& path, std::string bytes) {
        files[path] = std::move(bytes);
        unreadable.erase(path);
    }
    // Makes `path` an existing file that cannot be opened (locked, access denied).
    void putUnreadable(const std::string& path, std::string bytes = {}) {
        files[path] = std::move(bytes);
        unreadable.insert(path);
    }
    void removeFile(const std::string& path) {
        files.erase(path);
        unreadable.erase(path);
    }
    // The content at `path`, or nullopt when no file is there.
    std::optional<std::string> contents(const std::string& path) const {
        const auto it = files.find(path);
        return it == files.end() ? std::nullopt : std::optional<std::string>(it->second);
    }

    bool fileExists(std::string_view path) override { return files.count(std::string(path)) != 0; }
    std::optional<std::string> readFile(std::string_view path) override {
        return unreadable.count(std::string(path)) != 0 ? std::nullopt
                                                        : contents(std::string(path));
    }
    bool replaceFile(std::string_view path, std::string_view bytes, std::string& error) override {
        replaced.emplace_back(path);
        if (replaceFailure) {
            error = *replaceFailure;
            return false;
        }
        putFile(std::string(path), std::string(bytes));
        return true;
    }

    std::map<std::string, std::string> files;
    std::set<std::string> unreadable;
    std::optional<std::string> replaceFailure; // set: every replaceFile fails with this reason
    std::vector<std::string> replaced;         // the path of every replaceFile call, in order
};

} // namespace lantrivex::fakes
