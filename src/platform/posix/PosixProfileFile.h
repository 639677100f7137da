// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ProfileFile.h"

namespace lantrivex::platform::posix {

// Settings files on a POSIX system, with the Windows private-profile behaviour of IniDocument.
// The file is in Windows-1252. A file that is missing reads as empty and is created by the first
// write; a file that exists but cannot be read is never overwritten (the write fails). Every write
// replaces the whole file atomically, through a temporary file renamed into place.
class PosixProfileFile : public ProfileFile {
public:
    std::string read(std::string_view filePath, std::string_view section, std::string_view key,
                     std::size_t maxChars = 255) override;
    bool write(std::string_view filePath, std::string_view section, std::string_view key,
               std::string_view value) override;
};

} // namespace lantrivex::platform::posix
