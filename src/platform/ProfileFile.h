// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace lantrivex::platform {

// Settings files in INI form, read and written one key at a time with the behaviour of the
// Windows private-profile functions:
// - sections and keys are found without regard to letter case;
// - reading an absent key, an empty value or a file that does not exist gives "";
// - writing a key replaces only that key's line and keeps every other line of the file as it was;
//   the file, the section and the key are created when missing. On Windows the system's own
//   WritePrivateProfileStringA writes the file in place; elsewhere a new file replaces it whole
//   (written beside it, then renamed).
// Texts are UTF-8 here and in the system's ANSI code page in the file.
class ProfileFile {
public:
    virtual ~ProfileFile() = default;

    // The value of `key` in `section`, at most `maxChars` - 1 characters (the reply buffer of the
    // Windows call holds `maxChars` with its terminating NUL).
    virtual std::string read(std::string_view filePath, std::string_view section,
                             std::string_view key, std::size_t maxChars = 255) = 0;

    // Writes `key`=`value` in `section`. False when the file could not be written.
    virtual bool write(std::string_view filePath, std::string_view section, std::string_view key,
                       std::string_view value) = 0;
};

} // namespace lantrivex::platform
