#pragma once

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <sys/xattr.h>
#include <system_error>
#include <vector>

namespace lantrivex::platform::posix {

// A fresh folder under the system's temporary folder, removed with everything in it at the end.
class TempFolder {
public:
    TempFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "lantrivex-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) {
            path_ = pattern;
        }
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string file(std::string_view name) const { return path_ + "/" + std::string(name); }
    std::string folder(std::string_view relative) const {
        std::filesystem::create_directories(file(relative));
        return file(relative);
    }
    static void writeFile(const std::string& path, std::string_view bytes) {
        std::ofstream(path, std::ios::binary | std::ios::trunc)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    void write(std::string_view name, std::string_view bytes) const {
        writeFile(file(name), bytes);
    }
    std::string read(std::string_view name) const {
        std::ifstream in(file(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    // The names of everything directly in the folder, sorted.
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& entry : std::filesystem::directory_iterator(path_)) {
            out.push_back(entry.path().filename().string());
        }
        std::sort(out.begin(), out.end());
        return out;
    }
    static bool setAttribute(const std::string& path, const std::string& name,
                             std::string_view value) {
        return ::setxattr(path.c_str(), name.c_str(), value.data(), value.size(), 0) == 0;
    }
    // Whether this file system takes user extended attributes at all.
    bool takesUserAttributes() const {
        const bool ok = setAttribute(folder("xattr-probe"), "user.lantrivex.probe", "1");
        std::filesystem::remove_all(file("xattr-probe"));
        return ok;
    }

private:
    std::string path_;
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
    ~ScopedEnv() {
        if (saved_) {
            ::setenv(name_, saved_->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;
    void set(const std::string& value) const { ::setenv(name_, value.c_str(), 1); }
    void unset() const { ::unsetenv(name_); }

private:
    const char* name_;
    std::optional<std::string> saved_;
};

} // namespace lantrivex::platform::posix
