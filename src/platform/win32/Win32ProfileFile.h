// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ProfileFile.h"

namespace lantrivex::platform::win32 {

// Settings files through the system's own private-profile functions (GetPrivateProfileStringA
// with an empty default, WritePrivateProfileStringA), texts in the ANSI code page. A section, key
// or value that the code page cannot hold, or that would break the file's lines, is not written.
class Win32ProfileFile : public ProfileFile {
public:
    std::string read(std::string_view filePath, std::string_view section, std::string_view key,
                     std::size_t maxChars = 255) override;
    bool write(std::string_view filePath, std::string_view section, std::string_view key,
               std::string_view value) override;
};

} // namespace lantrivex::platform::win32
