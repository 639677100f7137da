// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win32/Win32ProgramLocation.h"

#include "platform/win32/AnsiCodePage.h"

#include <vector>
#include <windows.h>

namespace lantrivex::platform::win32 {

std::string Win32ProgramLocation::folderOf(std::string_view filePath) {
    const std::size_t separator = filePath.find_last_of("\\/");
    if (separator == std::string_view::npos) {
        return ".";
    }
    if (separator == 2 && filePath[1] == ':') {
        return std::string(filePath.substr(0, 3));
    }
    return std::string(filePath.substr(0, separator));
}

std::string Win32ProgramLocation::programFolder() {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return ".";
        }
        if (length < buffer.size()) {
            // Split in UTF-8: in a double-byte code page a trail byte can look like "\".
            return folderOf(fromAnsi(std::string_view(buffer.data(), length)));
        }
        buffer.resize(buffer.size() * 2); // cut short: try again with more room
    }
}

} // namespace lantrivex::platform::win32
