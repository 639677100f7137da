// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace lantrivex::regfile {

// One value of a registry export: its data as the registry functions return it here (string
// types as UTF-8 with their NULs, REG_DWORD as four bytes least significant first, other types as
// stored).
struct RegFileValue {
    std::string name; // "" for the key's default value (@)
    std::uint32_t type = 0;
    std::string data;
};

// One key of HKEY_LOCAL_MACHINE with its values in the file's order.
struct RegFileKey {
    std::string path; // below HKEY_LOCAL_MACHINE: SYSTEM\CurrentControlSet\...
    std::vector<RegFileValue> values;
    std::unordered_map<std::string, std::size_t> valueIndex; // folded name -> position in values

    // The value named `name` (letter case ignored), or nullptr.
    const RegFileValue* findValue(std::string_view name) const;
};

// Why an export could not be read: the line at fault (0 when the file as a whole is) and the
// reason, in English and in French.
struct RegFileError {
    std::size_t line = 0;
    std::string english;
    std::string_view french;

    // "line N: reason" (the reason alone for the whole file), in English.
    std::string text() const;
};

// The HKEY_LOCAL_MACHINE part of a registry export in the text form that the registry editor and
// `reg export` write: "REGEDIT4" (ANSI code page) or "Windows Registry Editor Version 5.00"
// (UTF-16LE with a byte-order mark, CR LF line ends). A file without a byte-order mark is read as
// UTF-8 when it is valid UTF-8 (written by hand elsewhere), else in the ANSI code page. Keys of
// other roots are left out.
class RegFile {
public:
    // Largest file read: anything bigger is not an export of a server's settings.
    static constexpr std::size_t kMaxFileSize = 32u << 20;

    // The whole file's bytes. nullopt when the file is not a well-formed export (no header, an odd
    // number of bytes or a broken character in a UTF-16 file, a broken character after a UTF-8
    // byte-order mark, bad hex digits, an unterminated string or key, a number out of range, a
    // file cut inside a value); `error` then says where.
    static std::optional<RegFile> parse(std::string_view bytes, std::string* error = nullptr);
    // The same, telling the line and the reason apart.
    static std::optional<RegFile> read(std::string_view bytes, RegFileError& error);
    // What read() tells of a file over kMaxFileSize.
    static RegFileError tooLargeError();

    // The key at `path` (letter case ignored), or nullptr.
    const RegFileKey* findKey(std::string_view path) const;

    const std::vector<RegFileKey>& keys() const noexcept { return keys_; }
    bool unicode() const noexcept { return unicode_; }

private:
    std::vector<RegFileKey> keys_;
    std::unordered_map<std::string, std::size_t> index_; // folded path -> position in keys_
    bool unicode_ = false; // version 5 export: hex(2) and hex(7) data are UTF-16LE
};

} // namespace lantrivex::regfile
