// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/NamedStreamReader.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace lantrivex::test {

// A fresh folder under the system's temporary folder, removed with everything in it at the end.
class TempFolder {
public:
    ~TempFolder() { std::filesystem::remove_all(path_); }
    const std::string& path() const { return path_; }
    std::string file(std::string_view name) const {
        return path_ + static_cast<char>(std::filesystem::path::preferred_separator) +
               std::string(name);
    }
    std::string folder(std::string_view relative) const {
        std::filesystem::create_directories(file(relative));
        return file(relative);
    }
    static void writeFile(const std::string& path, std::string_view bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    void write(std::string_view name, std::string_view bytes) const {
        writeFile(file(name), bytes);
    }
    std::string read(std::string_view name) const {
        std::ifstream in(file(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    // The names of everything directly in the folder, or in `path`, sorted.
    std::vector<std::string> names() const { return namesIn(path_); }
    static std::vector<std::string> namesIn(const std::string& path) {
        std::vector<std::string> out;
        for (const auto& entry : std::filesystem::directory_iterator(path)) {
            out.push_back(entry.path().filename().string());
        }
        std::sort(out.begin(), out.end());
        return out;
    }

private:
    // A name no other folder has: created here, never found.
    static std::string makeFolder() {
        const std::filesystem::path base = std::filesystem::temp_directory_path();
        std::random_device random;
        for (int attempt = 0; attempt < 100; ++attempt) {
            const auto candidate = base / ("lantrivex-" + std::to_string(random()));
            std::error_code error;
            if (std::filesystem::create_directory(candidate, error)) {
                std::filesystem::permissions(candidate, std::filesystem::perms::owner_all, error);
                return candidate.string();
            }
        }
        return "";
    }

    std::string path_ = makeFolder();
};

// Sets an environment variable for the length of a scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        if (const char* before = std::getenv(name)) {
            saved_ = before;
        }
        set(value);
    }
    ~ScopedEnv() { saved_ ? set(*saved_) : unset(); }
#ifdef _WIN32
    void set(const std::string& value) const {
        ::_putenv_s(name_, value.c_str());
    }
    void unset() const {
        ::_putenv_s(name_, "");
    }
#else
    void set(const std::string& value) const {
        ::setenv(name_, value.c_str(), 1);
    }
    void unset() const {
        ::unsetenv(name_);
    }
#endif

private:
    const char* name_;
    std::optional<std::string> saved_;
};

// A stream's size and everything it gives, a few bytes at a time; "<none>" without a stream.
inline std::string streamText(const std::unique_ptr<platform::ByteStream>& stream) {
    if (!stream) {
        return "<none>";
    }
    std::string out = std::to_string(stream->size()) + ":";
    std::byte buffer[7];
    while (std::size_t n = stream->read(buffer, sizeof buffer)) {
        out.append(reinterpret_cast<const char*>(buffer), n);
    }
    return out;
}

} // namespace lantrivex::test

namespace lantrivex::platform::posix {
using test::ScopedEnv;
using test::streamText;
using test::TempFolder;
} // namespace lantrivex::platform::posix
