// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Utf8.h"

#include <cstdint>
#include <iomanip>
#include <sstream>
#include <string>
#include <vector>

namespace lantrivex::smbtest {

// One value of an export (REG_SZ in quotes unless it holds a line break): string types as UTF-8
// text (a multi-string's entries joined by NULs, without the final NULs), REG_DWORD as its number,
// other types as raw bytes.
struct ExportValue {
    std::string name;
    std::uint32_t type = 1;
    std::string data;
    std::uint32_t number = 0;
};

struct ExportKey {
    std::string path; // below HKEY_LOCAL_MACHINE
    std::vector<ExportValue> values;
};

// The bytes of a version 5 registry export (UTF-16LE with its byte-order mark, CR LF, hex data
// wrapped as the registry editor wraps it, an empty last line) holding `keys`.
inline std::string regExport(const std::vector<ExportKey>& keys) {
    std::ostringstream text; // names and strings quoted: a backslash before each " and \ in them
    text << "Windows Registry Editor Version 5.00\r\n" << std::hex << std::setfill('0');
    for (const ExportKey& key : keys) {
        text << "\r\n[HKEY_LOCAL_MACHINE\\" << key.path << "]\r\n";
        for (const ExportValue& v : key.values) {
            std::ostringstream name;
            name << std::quoted(v.name) << '=';
            if (v.type == 1 && v.data.find_first_of("\r\n") == std::string::npos) {
                text << name.str() << std::quoted(v.data) << "\r\n";
            } else if (v.type == 4) {
                text << name.str() << "dword:" << std::setw(8) << v.number << "\r\n";
            } else {
                std::string data = v.data;
                if (v.type == 1 || v.type == 2 || v.type == 7) {
                    data.append(v.type == 7 ? 2 : 1, '\0');
                    data = utf8ToUtf16le(data);
                }
                // Wrapped lines keep the line so far: the continuation starts a fresh count.
                std::string line = name.str() + "hex(" + std::to_string(v.type) + "):";
                for (std::size_t i = 0; i < data.size(); ++i) {
                    static constexpr char kDigits[] = "0123456789abcdef";
                    if (line.size() > 76) {
                        text << line << "\\\r\n";
                        line = "  ";
                    }
                    const auto b = static_cast<unsigned char>(data[i]);
                    line += {kDigits[b >> 4], kDigits[b & 15]};
                    if (i + 1 < data.size()) {
                        line += ',';
                    }
                }
                text << line << "\r\n";
            }
        }
    }
    text << "\r\n";
    return "\xff\xfe" + utf8ToUtf16le(text.str());
}

} // namespace lantrivex::smbtest
