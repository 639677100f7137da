// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/FileSystem.h"

namespace lantrivex::platform::posix {

// The program's own files on a POSIX system. Files larger than kMaxWholeFileSize (64 MiB) are
// refused as unreadable; replacement goes through a temporary file in the same folder, flushed
// and renamed into place.
class PosixFileSystem : public FileSystem {
public:
    // A regular file (after following symbolic links) exists at `path`.
    bool fileExists(std::string_view path) override;
    std::optional<std::string> readFile(std::string_view path) override;
    bool replaceFile(std::string_view path, std::string_view bytes, std::string& error) override;
};

} // namespace lantrivex::platform::posix
