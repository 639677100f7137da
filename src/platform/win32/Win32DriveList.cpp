// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win32/Win32DriveList.h"

#include "platform/win32/AnsiCodePage.h"

#include <windows.h>

namespace lantrivex::platform::win32 {

std::vector<std::string> Win32DriveList::splitRoots(std::string_view buffer) {
    std::vector<std::string> roots;
    for (std::size_t nul = buffer.find('\0'); nul != std::string_view::npos;
         nul = buffer.find('\0')) {
        if (nul > 0) {
            roots.push_back(fromAnsi(buffer.substr(0, nul)));
        }
        buffer.remove_prefix(nul + 1);
    }
    return roots;
}

std::vector<std::string> Win32DriveList::driveRoots() {
    constexpr DWORD kBufferSize = 255;
    char buffer[kBufferSize + 1] = {};
    const DWORD length = ::GetLogicalDriveStringsA(kBufferSize, buffer);
    if (length == 0 || length > kBufferSize) {
        return {}; // failed, or the roots did not fit
    }
    return splitRoots(std::string_view(buffer, length));
}

std::int32_t Win32DriveList::driveType(std::string_view root) {
    const auto ansi = toAnsi(root);
    if (!ansi || ansi->find('\0') != std::string::npos) {
        return kDriveNoRootDir;
    }
    return static_cast<std::int32_t>(::GetDriveTypeA(ansi->c_str()));
}

} // namespace lantrivex::platform::win32
