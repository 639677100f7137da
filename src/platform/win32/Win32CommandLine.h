// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

namespace lantrivex::platform::win32 {

// The arguments of a wide command line after the program's name, split as CommandLineToArgvW
// splits them and converted to UTF-8: every character arrives, whatever the ANSI code page.
std::vector<std::string> argumentsOfCommandLine(const wchar_t* commandLine);

} // namespace lantrivex::platform::win32
