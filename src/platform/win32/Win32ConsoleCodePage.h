// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace lantrivex::platform::win32 {

// The console's output switched to UTF-8 for the programs' lifetime, and given back its code page
// when the object goes, and also when the console interrupts the program (Ctrl+C, Ctrl+Break, the
// console closed), which ends it without running destructors. Without a console it does nothing.
// One at a time in a process.
class Win32ConsoleCodePage {
public:
    Win32ConsoleCodePage();
    ~Win32ConsoleCodePage();
    Win32ConsoleCodePage(const Win32ConsoleCodePage&) = delete;
    Win32ConsoleCodePage& operator=(const Win32ConsoleCodePage&) = delete;

private:
    unsigned before_ = 0; // the console's code page before, 0 without a console
};

} // namespace lantrivex::platform::win32
