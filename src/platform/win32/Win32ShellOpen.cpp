// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win32/Win32ShellOpen.h"

#include "platform/win32/AnsiCodePage.h"

#include <windows.h>
// The shell's declarations need the types of windows.h first.
#include <shellapi.h>

namespace lantrivex::platform::win32 {

bool Win32ShellOpen::open(std::string_view target) {
    const auto ansi = toAnsi(target);
    if (!ansi || ansi->empty() || ansi->find('\0') != std::string::npos) {
        return false;
    }
    const HINSTANCE answer =
        ::ShellExecuteA(::GetDesktopWindow(), "Open", ansi->c_str(), "", "C:\\", SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(answer) > 32;
}

} // namespace lantrivex::platform::win32
