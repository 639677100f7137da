#pragma once

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
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

    std::string folder(std::string_view relative) const {
        const std::string full = path_ + "/" + std::string(relative);
        std::filesystem::create_directories(full);
        return full;
    }

    static void writeFile(const std::string& path, std::string_view bytes) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

    // The path of `name` in the folder.
    std::string file(std::string_view name) const { return path_ + "/" + std::string(name); }

    // Writes and reads the file `name` of the folder.
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
        const std::string probe = folder("xattr-probe");
        const bool ok = setAttribute(probe, "user.lantrivex.probe", "1");
        std::error_code ignored;
        std::filesystem::remove_all(probe, ignored);
        return ok;
    }

private:
    std::string path_;
};

} // namespace lantrivex::platform::posix
