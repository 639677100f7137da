// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win32/Win32ConsoleCodePage.h"

#include <atomic>
#include <windows.h>

namespace lantrivex::platform::win32 {
namespace {

std::atomic<UINT> codePageToRestore{0};

// Runs on a thread of its own when the console interrupts the program: the code page goes back,
// and the next handler (the system's, which ends the program) does the rest.
BOOL WINAPI restoreOnInterrupt(DWORD) {
    if (const UINT codePage = codePageToRestore.load()) {
        ::SetConsoleOutputCP(codePage);
    }
    return FALSE;
}

} // namespace

Win32ConsoleCodePage::Win32ConsoleCodePage() : before_(::GetConsoleOutputCP()) {
    if (before_ != 0) {
        codePageToRestore = before_;
        ::SetConsoleCtrlHandler(restoreOnInterrupt, TRUE);
        ::SetConsoleOutputCP(CP_UTF8);
    }
}

Win32ConsoleCodePage::~Win32ConsoleCodePage() {
    if (before_ != 0) {
        ::SetConsoleOutputCP(before_);
        ::SetConsoleCtrlHandler(restoreOnInterrupt, FALSE);
        codePageToRestore = 0;
    }
}

} // namespace lantrivex::platform::win32
