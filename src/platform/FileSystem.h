// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lantrivex::platform {

// Whole-file access for the program's own small files (the signatures file). Paths are UTF-8;
// contents are bytes as stored (the caller converts from and to the ANSI code page).
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // An ordinary file exists at `path` (not a folder).
    virtual bool fileExists(std::string_view path) = 0;

    // The whole content, or nullopt when the file cannot be opened or read.
    virtual std::optional<std::string> readFile(std::string_view path) = 0;

    // Writes `bytes` to a new file beside `path` and renames it into place, so that the old file
    // stays whole when anything fails. False (and `error`, a short reason, set) on failure.
    virtual bool replaceFile(std::string_view path, std::string_view bytes, std::string& error) = 0;
};

} // namespace lantrivex::platform
