// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win32/Win32FolderProbe.h"

#include "platform/win32/AnsiCodePage.h"

#include <windows.h>

namespace lantrivex::platform::win32 {

bool Win32FolderProbe::folderExists(std::string_view path) {
    const auto ansi = toAnsi(std::string(path) + "\\*.*");
    if (!ansi || ansi->find('\0') != std::string::npos) {
        return false;
    }
    WIN32_FIND_DATAA found{};
    const HANDLE search = ::FindFirstFileA(ansi->c_str(), &found);
    // Closing succeeds exactly when the search was started.
    return search != INVALID_HANDLE_VALUE && ::FindClose(search) != 0;
}

} // namespace lantrivex::platform::win32
