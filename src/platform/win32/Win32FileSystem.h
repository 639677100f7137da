// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/FileSystem.h"

#include <cstddef>

namespace lantrivex::platform::win32 {

// The program's own files on Windows. Files larger than kMaxWholeFileSize (64 MiB) are refused as
// unreadable. A replacement is written to a new file in the same folder, flushed to the disk, and
// moved over the old one in one step (MoveFileExA), so the old file stays whole when anything
// fails.
class Win32FileSystem : public FileSystem {
public:
    static constexpr std::size_t kMaxWholeFileSize = 64u * 1024u * 1024u;

    bool fileExists(std::string_view path) override;
    std::optional<std::string> readFile(std::string_view path) override;
    bool replaceFile(std::string_view path, std::string_view bytes, std::string& error) override;
};

} // namespace lantrivex::platform::win32
